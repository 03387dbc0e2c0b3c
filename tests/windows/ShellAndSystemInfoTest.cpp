#include "os/ErrorCodes.h"
#include "platform/errorresources/SystemErrors.h"
#include "support/SimDesktopTest.h"
#include "windows/info/CouldNotGetWindowsVersion.h"
#include "windows/info/SystemInformation.h"
#include "windows/internet/CouldNotLaunchInternetBrowserException.h"
#include "windows/internet/InternetHelper.h"
#include "windows/process/ProcessExceptions.h"
#include "windows/process/ProcessHelper.h"

#include <clocale>
#include <string>

#include <gtest/gtest.h>

namespace {

using os::sim::SimShell;
using platform::errorresources::SystemErrors;

class ShellAndSystemInfoTest : public testing_support::SimDesktopTest {};

TEST_F(ShellAndSystemInfoTest, ShellExecuteOpensInANormalWindowWithoutOwner) {
    windows::process::shellExecute("manual.html", "open");
    windows::process::shellExecute("mailto:support@pastrix.org", "open");
    const auto launches = desktop.shell.launches();
    ASSERT_EQ(launches.size(), 2u);
    EXPECT_EQ(launches[0].kind, SimShell::Launch::Kind::ShellExecute);
    EXPECT_EQ(launches[0].file, "manual.html");
    EXPECT_EQ(launches[0].operation, "open");
    EXPECT_EQ(launches[0].owner, 0u);
    EXPECT_EQ(launches[0].showCommand, os::SwShowNormal);
    EXPECT_EQ(launches[1].file, "mailto:support@pastrix.org");
}

TEST_F(ShellAndSystemInfoTest, AFailedLaunchNamesWhatItTriedAndTheSystemsReason) {
    desktop.shell.failWith(os::error::FileNotFound);
    try {
        windows::process::shellExecute("manual.html", "open");
        FAIL() << "no exception";
    } catch (const windows::process::CouldNotShellExecuteException& e) {
        EXPECT_EQ(e.getMessage(), "Error when trying to run command (ShellExecute) manual.html\n" +
                                      SystemErrors::map(os::error::FileNotFound));
    }
    try {
        windows::internet::launchInternetBrowser("https://pastrix.org/");
        FAIL() << "no exception";
    } catch (const windows::internet::CouldNotLaunchInternetBrowserException& e) {
        EXPECT_EQ(e.getMessage(),
                  "Error when trying to launch internet browser.\nTried to open:\n"
                  "https://pastrix.org/\n\n" +
                      SystemErrors::map(os::error::FileNotFound));
    }
    desktop.shell.failWith(os::error::Success);
    EXPECT_NO_THROW(windows::process::shellExecute("manual.html", "open"));
}

TEST_F(ShellAndSystemInfoTest, TheBrowserGetsTheAddressAsWideText) {
    windows::internet::launchInternetBrowser("https://pastrix.org/newsletter?email=a@b.org");
    const auto launches = desktop.shell.launches();
    ASSERT_EQ(launches.size(), 1u);
    EXPECT_EQ(launches[0].kind, SimShell::Launch::Kind::Navigate);
    EXPECT_EQ(launches[0].address, L"https://pastrix.org/newsletter?email=a@b.org");
}

TEST_F(ShellAndSystemInfoTest, AnAddressThatDoesNotConvertNeverReachesTheBrowser) {
    const std::string previous = std::setlocale(LC_CTYPE, nullptr);
    if (std::setlocale(LC_CTYPE, "C.UTF-8") == nullptr) {
        GTEST_SKIP() << "no UTF-8 locale on this machine";
    }
    try {
        windows::internet::launchInternetBrowser("https://pastrix.org/\xff");
        ADD_FAILURE() << "no exception";
    } catch (const windows::internet::CouldNotLaunchInternetBrowserException& e) {
        EXPECT_EQ(e.getMessage(),
                  "Error when trying to launch internet browser. \n\nCould get the length of the "
                  "corresponding wide string for 'https://pastrix.org/\xff'.");
    }
    std::setlocale(LC_CTYPE, previous.c_str());
    EXPECT_TRUE(desktop.shell.launches().empty());
}

TEST_F(ShellAndSystemInfoTest, OnlyWindows95IsWindows95) {
    EXPECT_FALSE(windows::info::isWindows95());
    struct Case {
        unsigned platformId, major, minor;
        bool is95;
    };
    const Case cases[] = {
        {os::PlatformWindows, 4, 0, true},   {os::PlatformWindows, 4, 10, false},
        {os::PlatformWindows, 4, 90, false}, {os::PlatformNT, 4, 0, false},
        {os::PlatformNT, 5, 1, false},       {os::PlatformPosix, 6, 0, false},
    };
    for (const Case& c : cases) {
        os::VersionInfo version;
        version.platformId = c.platformId;
        version.majorVersion = c.major;
        version.minorVersion = c.minor;
        desktop.systemInfo.setVersion(version);
        EXPECT_EQ(windows::info::isWindows95(), c.is95) << c.platformId << " " << c.minor;
        EXPECT_EQ(windows::info::getWindowsVersion().size, os::VersionInfoSize);
    }
}

TEST_F(ShellAndSystemInfoTest, AFailedVersionQueryIsAnException) {
    desktop.systemInfo.failVersionWith(os::error::AccessDenied);
    try {
        windows::info::getWindowsVersion();
        FAIL() << "no exception";
    } catch (const windows::info::CouldNotGetWindowsVersion& e) {
        EXPECT_EQ(e.getMessage(), "Couldn't get the windows version.\n" +
                                      SystemErrors::map(os::error::AccessDenied));
    }
    EXPECT_THROW(windows::info::isWindows95(), windows::info::CouldNotGetWindowsVersion);
}

}  // namespace
