#include "util/newsletter/SimpleSignUp.h"

#include "io/file/FileExceptions.h"
#include "os/Dialogs.h"
#include "os/Port.h"
#include "windows/internet/CouldNotLaunchInternetBrowserException.h"
#include "windows/internet/InternetHelper.h"

#include <algorithm>

namespace util::newsletter {

namespace {

constexpr std::size_t MinimumLength = 8;
constexpr std::size_t MaximumLength = 64;
// At least this many characters follow the "@": room for a dot and a two-letter domain.
constexpr std::size_t TailWithoutAt = 4;

}  // namespace

void SimpleSignUp::runSignUp(windows::reporter::ErrorReporter& errorReporter,
                             windows::reporter::InformationReporter& informationReporter,
                             EmailAddressDialog& dialog, ::util::config::Config& config,
                             const std::string& productName) {
    runSignUp(
        errorReporter, informationReporter, dialog, config, productName,
        [](const std::string& address) { windows::internet::launchInternetBrowser(address); });
}

void SimpleSignUp::runSignUp(windows::reporter::ErrorReporter& errorReporter,
                             windows::reporter::InformationReporter& informationReporter,
                             EmailAddressDialog& dialog, ::util::config::Config& config,
                             const std::string& productName, const BrowserLauncher& launchBrowser) {
    if (!config.getBool(AskForEmailAddressKey)) {
        return;
    }
    const int askFrequency = config.getInt(AskFrequencyKey);
    const int counter = config.getInt(CounterKey);
    if (counter >= 1) {
        config.setInt(CounterKey, counter - 1);
    } else {
        // The count starts again whatever the user answers, so a skipped offer stays away
        // for as long as a shown one.
        config.setInt(CounterKey, askFrequency);
        if (dialog.DoModal() == os::id::Ok) {
            informationReporter.showInformation(
                productName +
                " will now open a web browser to complete the newsletter sign up. Please make "
                "sure you are connected to the Internet.");
            const std::string address = config.getString(SignUpUrlKey) + dialog.getEmailAddress();
            config.setBool(AskForEmailAddressKey, false);
            try {
                launchBrowser(address);
                os::clock().sleep(BrowserWait);
            } catch (const windows::internet::CouldNotLaunchInternetBrowserException& e) {
                errorReporter.showError(e.getMessage());
            }
        }
    }
    try {
        config.save("");
    } catch (const io::file::CouldNotSaveFileException&) {
        // The next change of a setting writes the file again.
    }
}

bool SimpleSignUp::isValidEmailAddress(const std::string& address) {
    if (address.size() < MinimumLength || address.size() > MaximumLength) {
        return false;
    }
    if (std::count(address.begin(), address.end(), '@') != 1) {
        return false;
    }
    if (address.find('.') == std::string::npos) {
        return false;
    }
    return address.find('@', address.size() - TailWithoutAt) == std::string::npos;
}

std::string SimpleSignUp::invalidAddressMessage(const std::string& address) {
    return "The email address '" + address + "' seems to be invalid.";
}

}  // namespace util::newsletter
