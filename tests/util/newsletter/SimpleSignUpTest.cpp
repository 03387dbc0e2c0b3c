// The newsletter offer at start-up: when it comes, what signing up does, and the address
// check of its dialog.
#include "io/file/FileExceptions.h"
#include "io/file/PlainFileReader.h"
#include "os/Dialogs.h"
#include "support/RecordingReporter.h"
#include "support/SettingsFile.h"
#include "support/SimDesktopTest.h"
#include "util/config/ConfigException.h"
#include "util/config/ConfigImpl.h"
#include "util/newsletter/SimpleSignUp.h"
#include "windows/internet/CouldNotLaunchInternetBrowserException.h"

#include <chrono>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

using util::newsletter::SimpleSignUp;

// Plays the user in the dialog: each showing is answered with the next result.
class ScriptedDialog final : public util::newsletter::EmailAddressDialog {
public:
    int DoModal() override {
        ++shown;
        return result;
    }
    std::string getEmailAddress() const override { return address; }

    int result = os::id::Cancel;
    std::string address;
    int shown = 0;
};

class FailingWriter final : public io::file::FileWriter {
public:
    void write(const std::string& fileName, const std::string&, std::ios_base::openmode) override {
        throw io::file::CouldNotSaveFileException("Could not save " + fileName);
    }
};

class SimpleSignUpTest : public testing_support::SimDesktopTest {
protected:
    void writeSettings(bool ask, int frequency, int counter) {
        writeFile("config.cfg",
                  "# newsletter\r\nutil.newsletter.SimpleSignUp.askForEmailAddress=" +
                      std::string(ask ? "true" : "false") +
                      "\r\nutil.newsletter.SimpleSignUp.askFrequency=" + std::to_string(frequency) +
                      "\r\nutil.newsletter.SimpleSignUp.counter=" + std::to_string(counter) +
                      "\r\nutil.newsletter.SimpleSignUp.signUpUrl=https://example.org/"
                      "signup?email=\r\n");
    }

    // One start-up: the settings are read from the file as the program reads them.
    void startUp(io::file::FileWriter& fileWriter) {
        util::config::ConfigImpl config("config.cfg", util::config::ConfigImpl::FromFile, reader,
                                        fileWriter);
        SimpleSignUp::runSignUp(
            reporter, reporter, dialog, config, "Pastrix", [this](const std::string& address) {
                if (!browserFailure.empty()) {
                    throw windows::internet::CouldNotLaunchInternetBrowserException(browserFailure);
                }
                opened.push_back(address);
            });
    }
    void startUp() { startUp(writer); }

    std::string stored(const std::string& key) {
        util::config::ConfigImpl config("config.cfg", util::config::ConfigImpl::FromFile, reader,
                                        writer);
        return config.getString(key);
    }

    io::file::PlainFileReader reader;
    testing_support::CountingWriter writer;
    testing_support::RecordingReporter reporter;
    ScriptedDialog dialog;
    std::vector<std::string> opened;
    std::string browserFailure;
};

TEST_F(SimpleSignUpTest, TheOfferComesAtTheFirstDueStartUpAndThenAfterEveryFrequencyStartUps) {
    writeSettings(true, 5, 0);
    std::vector<int> shownAt;
    std::vector<std::string> counters;
    for (int startUpNumber = 1; startUpNumber <= 13; ++startUpNumber) {
        const int before = dialog.shown;
        startUp();
        if (dialog.shown != before) {
            shownAt.push_back(startUpNumber);
        }
        counters.push_back(stored(SimpleSignUp::CounterKey));
    }
    EXPECT_EQ(shownAt, (std::vector<int>{1, 7, 13}));
    EXPECT_EQ(counters, (std::vector<std::string>{"5", "4", "3", "2", "1", "0", "5", "4", "3", "2",
                                                  "1", "0", "5"}));
    EXPECT_EQ(writer.writes, 13);
    EXPECT_TRUE(opened.empty());
    EXPECT_EQ(stored(SimpleSignUp::AskForEmailAddressKey), "true");
}

TEST_F(SimpleSignUpTest, ANegativeCounterAsksAtOnce) {
    writeSettings(true, 2, -7);
    startUp();
    EXPECT_EQ(dialog.shown, 1);
    EXPECT_EQ(stored(SimpleSignUp::CounterKey), "2");
}

TEST_F(SimpleSignUpTest, SigningUpOpensTheAddressWaitsForTheBrowserAndNeverAsksAgain) {
    writeSettings(true, 0, 0);
    dialog.result = os::id::Ok;
    dialog.address = "jo@example.org";
    startUp();
    ASSERT_EQ(reporter.informations.size(), 1U);
    EXPECT_EQ(reporter.informations[0],
              "Pastrix will now open a web browser to complete the newsletter sign up. Please make "
              "sure you are connected to the Internet.");
    EXPECT_EQ(opened,
              (std::vector<std::string>{"https://example.org/signup?email=jo@example.org"}));
    EXPECT_EQ(desktop.clock.sleeps(),
              (std::vector<std::chrono::milliseconds>{std::chrono::milliseconds(5000)}));
    EXPECT_EQ(stored(SimpleSignUp::AskForEmailAddressKey), "false");

    // With frequency 0 it would ask at every start-up; after the sign-up it stays quiet and
    // leaves the file alone.
    const int writesBefore = writer.writes;
    startUp();
    startUp();
    EXPECT_EQ(dialog.shown, 1);
    EXPECT_EQ(writer.writes, writesBefore);
    EXPECT_TRUE(reporter.messages.empty());
}

TEST_F(SimpleSignUpTest, TheAddressIsAppendedAsTyped) {
    writeSettings(true, 3, 0);
    dialog.result = os::id::Ok;
    dialog.address = "a+b&c@example.org";
    startUp();
    EXPECT_EQ(opened,
              (std::vector<std::string>{"https://example.org/signup?email=a+b&c@example.org"}));
}

TEST_F(SimpleSignUpTest, ABrowserThatCannotStartIsShownAndTheOfferStillEnds) {
    writeSettings(true, 3, 0);
    dialog.result = os::id::Ok;
    dialog.address = "jo@example.org";
    browserFailure = "Error when trying to launch internet browser.\nno browser";
    startUp();
    EXPECT_EQ(
        reporter.messages,
        (std::vector<std::string>{"Error when trying to launch internet browser.\nno browser"}));
    EXPECT_TRUE(desktop.clock.sleeps().empty());
    EXPECT_EQ(stored(SimpleSignUp::AskForEmailAddressKey), "false");
}

TEST_F(SimpleSignUpTest, SkippingResetsTheCounterLikeShowing) {
    writeSettings(true, 4, 0);
    dialog.result = os::id::Cancel;
    startUp();
    EXPECT_EQ(dialog.shown, 1);
    EXPECT_TRUE(opened.empty());
    EXPECT_TRUE(reporter.informations.empty());
    EXPECT_EQ(stored(SimpleSignUp::CounterKey), "4");
    EXPECT_EQ(stored(SimpleSignUp::AskForEmailAddressKey), "true");
}

TEST_F(SimpleSignUpTest, AFileThatCannotBeWrittenDoesNotStopTheStartUp) {
    writeSettings(true, 4, 2);
    FailingWriter failing;
    EXPECT_NO_THROW(startUp(failing));
    EXPECT_TRUE(reporter.messages.empty());
    EXPECT_EQ(stored(SimpleSignUp::CounterKey), "2");
}

TEST_F(SimpleSignUpTest, AMissingKeyIsTheConfigurationsError) {
    writeFile("config.cfg",
              "util.newsletter.SimpleSignUp.askForEmailAddress=true\r\n"
              "util.newsletter.SimpleSignUp.counter=0\r\n");
    EXPECT_THROW(startUp(), util::config::KeyDoesNotExistException);
    EXPECT_EQ(dialog.shown, 0);
}

struct AddressCase {
    const char* address;
    bool valid;
};

TEST(EmailAddressCheck, AcceptsOnlyAddressesOfTheRightShape) {
    const std::string sixtyFour = std::string(52, 'a') + "@example.org";
    ASSERT_EQ(sixtyFour.size(), 64U);
    const AddressCase cases[] = {
        {"ab@c.de", false},  // 7 characters
        {"abc@d.ef", true},  // 8 characters
        {"", false},
        {"jo@example.org", true},
        {"jo.ex@ample", true},  // the dot may come before the "@"
        {"jo@exa@mple.org", false},
        {"jo.example.org", false},
        {"jo@examplecom", false},
        {"jo.exampl@com", false},  // "@" is the fourth character from the end
        {"jo.exam@.com", true},    // the fifth is allowed
        {"jo.examplec@om", false},
        {"jo.example.co@", false},
    };
    for (const AddressCase& c : cases) {
        EXPECT_EQ(SimpleSignUp::isValidEmailAddress(c.address), c.valid) << c.address;
    }
    EXPECT_TRUE(SimpleSignUp::isValidEmailAddress(sixtyFour));
    EXPECT_FALSE(SimpleSignUp::isValidEmailAddress("a" + sixtyFour));
}

}  // namespace
