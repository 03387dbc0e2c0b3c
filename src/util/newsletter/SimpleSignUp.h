#pragma once

#include "util/config/Config.h"
#include "windows/reporter/ErrorReporter.h"
#include "windows/reporter/InformationReporter.h"

#include <chrono>
#include <functional>
#include <string>

namespace util::newsletter {

// The dialog that asks for the user's e-mail address.
class EmailAddressDialog {
public:
    virtual ~EmailAddressDialog() = default;
    // Shows the dialog until the user signs up (os::id::Ok) or skips.
    virtual int DoModal() = 0;
    virtual std::string getEmailAddress() const = 0;
};

// Offers the newsletter at start-up every so many start-ups until the user signs up once;
// the sign-up itself happens in the web browser.
class SimpleSignUp {
public:
    static constexpr const char* AskForEmailAddressKey =
        "util.newsletter.SimpleSignUp.askForEmailAddress";
    static constexpr const char* AskFrequencyKey = "util.newsletter.SimpleSignUp.askFrequency";
    static constexpr const char* CounterKey = "util.newsletter.SimpleSignUp.counter";
    static constexpr const char* SignUpUrlKey = "util.newsletter.SimpleSignUp.signUpUrl";
    // Time for the browser to come up before the program's own window does.
    static constexpr std::chrono::milliseconds BrowserWait{5000};

    // Opens an address in the web browser; throws CouldNotLaunchInternetBrowserException.
    using BrowserLauncher = std::function<void(const std::string& address)>;

    // Counts this start-up and, when it is due, asks. Missing or malformed keys throw the
    // configuration's exceptions; a browser that cannot be started is shown, a
    // configuration that cannot be written is left for the next change to write.
    static void runSignUp(windows::reporter::ErrorReporter& errorReporter,
                          windows::reporter::InformationReporter& informationReporter,
                          EmailAddressDialog& dialog, ::util::config::Config& config,
                          const std::string& productName, const BrowserLauncher& launchBrowser);
    // The browser launch of the platform.
    static void runSignUp(windows::reporter::ErrorReporter& errorReporter,
                          windows::reporter::InformationReporter& informationReporter,
                          EmailAddressDialog& dialog, ::util::config::Config& config,
                          const std::string& productName);

    // The check the dialog makes before it accepts an address: 8 to 64 characters, exactly
    // one "@", at least one "." and no "@" among the last four characters.
    static bool isValidEmailAddress(const std::string& address);
    static std::string invalidAddressMessage(const std::string& address);
};

}  // namespace util::newsletter
