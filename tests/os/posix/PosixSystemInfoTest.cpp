#include "os/Port.h"
#include "os/ScopedInstall.h"
#include "os/posix/PosixSystemInfo.h"
#include "support/SimDesktopTest.h"
#include "util/parser/CommandLineConverter.h"
#include "windows/info/SystemInformation.h"

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

using os::posix::PosixSystemInfo;

class PosixSystemInfoTest : public testing_support::SimDesktopTest {
protected:
    PosixSystemInfoTest() : info(desktop.errors) {}

    // The arguments the program would see with the POSIX system information installed.
    std::vector<std::string> convertedArguments() {
        os::Port port = desktop.port();
        port.systemInfo = &info;
        const os::ScopedInstall withPosixInfo(port);
        const util::parser::CommandLineConverter converter;
        return {converter.getArgv(), converter.getArgv() + converter.getArgc()};
    }

    PosixSystemInfo info;
};

TEST_F(PosixSystemInfoTest, TheRebuiltCommandLineSplitsBackIntoTheSameArguments) {
    const std::vector<std::string> arguments = {"/opt/my programs/pastrix", "-minimized", "",
                                                "a\tb", "x"};
    const std::string line = PosixSystemInfo::joinArguments(arguments);
    EXPECT_EQ(line, "\"/opt/my programs/pastrix\" -minimized \"\" a\tb x");
    desktop.systemInfo.setCommandLine(line);
    const util::parser::CommandLineConverter converter;
    EXPECT_EQ(
        std::vector<std::string>(converter.getArgv(), converter.getArgv() + converter.getArgc()),
        arguments);
}

TEST_F(PosixSystemInfoTest, TheProcessCommandLineStartsWithTheProgram) {
    const std::vector<std::string> arguments = convertedArguments();
    ASSERT_FALSE(arguments.empty());
    EXPECT_EQ(std::filesystem::path(arguments[0]).filename(), "pastrix_tests");
}

TEST_F(PosixSystemInfoTest, TheVersionRecordIsNeverWindows) {
    os::VersionInfo version;
    EXPECT_FALSE(info.getVersionEx(version));
    version.size = os::VersionInfoSize;
    ASSERT_TRUE(info.getVersionEx(version));
    EXPECT_EQ(version.platformId, os::PlatformPosix);
    EXPECT_GT(version.majorVersion, 0u);
    EXPECT_FALSE(version.csdVersion.empty());

    os::Port port = desktop.port();
    port.systemInfo = &info;
    const os::ScopedInstall withPosixInfo(port);
    EXPECT_FALSE(windows::info::isWindows95());
    // A process without a display connection has no screen to measure.
    EXPECT_EQ(windows::info::getScreenWidth(), 0);
    EXPECT_EQ(windows::info::getScreenHeight(), 0);
}

}  // namespace
