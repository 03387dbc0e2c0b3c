#include "config/TopLevelHandler.h"
#include "config/configfile/ConfigLogicException.h"
#include "exceptions/NumberFormatException.h"
#include "io/file/FileExceptions.h"
#include "support/SimDesktopTest.h"
#include "util/config/ConfigException.h"
#include "windows/hook/HookException.h"
#include "windows/reporter/MessageBoxReporter.h"
#include "windows/window/WindowExceptions.h"

#include <functional>

#include <gtest/gtest.h>

namespace {

using products::pastrix::config::runWithTopLevelHandlers;

using TopLevelHandlerTest = testing_support::SimDesktopAssertionTest;

TEST_F(TopLevelHandlerTest, EachFailureShowsItsOwnText) {
    const struct {
        const char* name;
        std::function<void()> body;
        const char* shown;
    } cases[] = {
        {"hook", [] { throw windows::hook::HookException("no hook"); },
         "An hook exception occured.\nno hook"},
        {"config logic",
         [] { throw products::pastrix::config::configfile::ConfigLogicException(" bad limit"); },
         "An config logic exception occured. bad limit"},
        {"parse", [] { throw util::config::ParseException("full parse", "short"); },
         "full parse\n\nThe config file is corrupt, please reinstall the program."},
        {"missing key", [] { throw util::config::KeyDoesNotExistException("full key", "short"); },
         "full key\n\nThe config file is corrupt, please reinstall the program."},
        {"number", [] { throw exceptions::NumberFormatException("not a number"); }, "not a number"},
        {"any exception", [] { throw io::file::CouldNotLoadFileException("no file"); },
         "An exception occured.\nno file"},
        // A window failure is deliberately not an ordinary exception.
        {"window", [] { throw windows::window::WindowXException("no window"); },
         "An ... occured. Please contact velbrook."},
        {"anything", [] { throw 42; }, "An ... occured. Please contact velbrook."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        desktop.dialogs.clear();
        windows::reporter::MessageBoxReporter reporter;
        EXPECT_FALSE(runWithTopLevelHandlers(reporter, c.body));
        const auto shown = desktop.dialogs.shown();
        ASSERT_EQ(shown.size(), 1U);
        EXPECT_EQ(shown[0].text, c.shown);
        EXPECT_EQ(shown[0].caption, "Pastrix Error");
    }
    // Only the catch-all counts as a broken expectation.
    EXPECT_EQ(assertions.reports.size(), 2U);
    EXPECT_TRUE(assertions.reported("false"));
}

TEST_F(TopLevelHandlerTest, BodyThatEndsNormallyShowsNothing) {
    windows::reporter::MessageBoxReporter reporter;
    bool ran = false;
    EXPECT_TRUE(runWithTopLevelHandlers(reporter, [&] { ran = true; }));
    EXPECT_TRUE(ran);
    EXPECT_TRUE(desktop.dialogs.shown().empty());
}

}  // namespace
