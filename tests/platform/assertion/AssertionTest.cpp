#include "os/Dialogs.h"
#include "platform/assertion/Assertion.h"
#include "platform/assertion/AssertionListenerInstaller.h"
#include "support/SimDesktopTest.h"
#include "windows/reporter/ErrorReporterAssertionListener.h"
#include "windows/reporter/MessageBoxReporter.h"

#include <iostream>
#include <sstream>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

using testing_support::RecordingAssertionListener;
using testing_support::SimDesktopTest;

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        result.push_back(line);
    }
    return result;
}

// Captures what is written to standard output while it lives.
class CapturedOutput {
public:
    CapturedOutput() : previous(std::cout.rdbuf(captured.rdbuf())) {}
    ~CapturedOutput() { std::cout.rdbuf(previous); }
    std::string text() const { return captured.str(); }

private:
    std::ostringstream captured;
    std::streambuf* previous;
};

using AssertionReportTest = SimDesktopTest;

TEST_F(AssertionReportTest, ReportHasNineLinesWithConditionFileLineAndTime) {
    const std::string report = platform::assertionReport("size > 0", "windows/memory/X.cpp", 42, 0);
    const auto reportLines = lines(report);
    ASSERT_EQ(reportLines.size(), 9U);
    EXPECT_EQ(report.back(), '\n');
    EXPECT_EQ(reportLines[0], std::string(40, '-'));
    EXPECT_EQ(reportLines[1], "Assertion failed. Message: size > 0");
    EXPECT_EQ(reportLines[2], "File: windows/memory/X.cpp");
    EXPECT_EQ(reportLines[3], "Line: 42");
    EXPECT_THAT(reportLines[4], testing::StartsWith("Occurred: "));
    EXPECT_EQ(reportLines[5], "");
    EXPECT_EQ(reportLines[6], "Please contact support@pastrix.org.");
    EXPECT_EQ(reportLines[7], "Thank you for helping us improve the software.");
    EXPECT_EQ(reportLines[8], std::string(40, '-'));
}

TEST_F(AssertionReportTest, TimeIsTwentyFourCharactersWithSpacePaddedDay) {
    std::tm date{};
    date.tm_year = 2003 - 1900;
    date.tm_mon = 1;
    date.tm_mday = 4;
    date.tm_hour = 10;
    date.tm_min = 22;
    date.tm_sec = 5;
    date.tm_isdst = -1;
    const std::time_t when = std::mktime(&date);
    EXPECT_EQ(platform::assertionTime(when), "Tue Feb  4 10:22:05 2003");
}

TEST_F(AssertionReportTest, FailedAssertionsAppendToFileAndConsoleAndExecutionGoesOn) {
    CapturedOutput output;
    int reached = 0;
    PX_ASSERT(reached == 1);
    ++reached;
    PX_ASSERT(reached == 2);
    ++reached;
    EXPECT_EQ(reached, 2);

    const std::string file = readFile("assertion.txt");
    const auto fileLines = lines(file);
    ASSERT_EQ(fileLines.size(), 18U);
    EXPECT_EQ(fileLines[1], "Assertion failed. Message: reached == 1");
    EXPECT_EQ(fileLines[10], "Assertion failed. Message: reached == 2");
    EXPECT_EQ(fileLines[2], "File: " __FILE__);
    EXPECT_EQ(output.text(), file);
}

TEST_F(AssertionReportTest, ListenerReceivesReportsWhileInstalledAndFileStaysUntouched) {
    CapturedOutput output;
    RecordingAssertionListener listener;
    {
        platform::AssertionListenerInstaller installer(listener);
        PX_ASSERT(1 + 1 == 3);
    }
    EXPECT_EQ(listener.reports.size(), 1U);
    EXPECT_TRUE(listener.reported("1 + 1 == 3"));
    EXPECT_EQ(readFile("assertion.txt"), "");
    EXPECT_EQ(output.text(), "");

    // After the installer is gone, reports go to the file again.
    PX_ASSERT(false);
    EXPECT_EQ(listener.reports.size(), 1U);
    EXPECT_THAT(readFile("assertion.txt"), testing::HasSubstr("Message: false\n"));
}

TEST_F(AssertionReportTest, ErrorReporterListenerShowsReportInErrorBox) {
    windows::reporter::MessageBoxReporter reporter;
    windows::reporter::ErrorReporterAssertionListener listener(reporter);
    platform::AssertionListenerInstaller installer(listener);
    const void* _tooltip = nullptr;
    PX_ASSERT(_tooltip);

    const auto shown = desktop.dialogs.shown();
    ASSERT_EQ(shown.size(), 1U);
    EXPECT_EQ(shown[0].caption, "Pastrix Error");
    EXPECT_THAT(shown[0].text, testing::HasSubstr("Message: _tooltip\n"));
}

}  // namespace
