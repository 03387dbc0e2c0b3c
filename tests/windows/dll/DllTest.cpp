#include "os/ErrorCodes.h"
#include "os/Port.h"
#include "support/ProgramDirectory.h"
#include "support/SimDesktopTest.h"
#include "windows/dll/Dll.h"
#include "windows/dll/DllExceptions.h"
#include "windows/hook/HookLibrary.h"
#include "windows/hook/KeyboardHook.h"
#include "windows/hook/MouseHook.h"
#include "windows/process/AttachThreadInputLibrary.h"

#include <filesystem>
#include <functional>
#include <string>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

using testing::EndsWith;
using testing::StartsWith;
using windows::dll::Dll;
using windows::dll::DllNotFoundException;
using windows::dll::ProcNotFoundException;

class DllTest : public testing_support::SimDesktopAssertionTest {
protected:
    template <typename Failure>
    static std::string failure(const std::function<void()>& action) {
        try {
            action();
        } catch (const Failure& e) {
            return e.getMessage();
        }
        ADD_FAILURE() << "no exception";
        return "";
    }
};

TEST_F(DllTest, AMissingLibraryFailsWithTheLoadersWords) {
    EXPECT_EQ(failure<DllNotFoundException>([] { Dll missing("missing.so"); }),
              "Couldn't load the dll: missing.so\nSystem error message: missing.so: cannot open "
              "shared object file: No such file or directory\n");
    // The hook objects fail the same way.
    EXPECT_THAT(failure<DllNotFoundException>([] { windows::hook::KeyboardHook hook("gone.so"); }),
                StartsWith("Couldn't load the dll: gone.so\n"));
    EXPECT_TRUE(assertions.reports.empty());
}

TEST_F(DllTest, ACorruptLibraryFailsWithTheReason) {
    writeFile("broken.so", "not a library at all");
    EXPECT_THAT(
        failure<DllNotFoundException>([] { Dll broken("broken.so"); }),
        StartsWith("Couldn't load the dll: broken.so\nSystem error message: ./broken.so: "));
}

TEST_F(DllTest, AnEmptyNameIsReportedAndFails) {
    EXPECT_EQ(failure<DllNotFoundException>([] { Dll unnamed(""); }),
              "Couldn't load the dll: \nSystem error message: Invalid argument\n");
    EXPECT_TRUE(assertions.reported("_filename != \"\""));
}

TEST_F(DllTest, LibrariesAreFoundBesideTheProgramThenInTheCurrentDirectory) {
    Dll beside("clipboard.so");
    EXPECT_NE(beside.getModule(), 0U);
    std::filesystem::copy_file(testing_support::programDirectory() / "clipboard.so",
                               "local-hooks.so");
    Dll local("local-hooks.so");
    EXPECT_NE(local.getModule(), beside.getModule());
    EXPECT_NE(local.getProc(windows::hook::entry::KeyboardProcedure), nullptr);
}

TEST_F(DllTest, ALibraryWithoutAnEntryFailsNamingIt) {
    const std::string noDeinitializer = "clipboard-without-keyboardDeinitializer.so";
    const std::string message =
        failure<ProcNotFoundException>([&] { windows::hook::KeyboardHook hook(noDeinitializer); });
    EXPECT_THAT(message,
                StartsWith("Couldn't find the proc when getting it. Dll: " + noDeinitializer +
                           " Proc: keyboardDeinitializer\nSystem error message: "));
    EXPECT_THAT(message, EndsWith("undefined symbol: keyboardDeinitializer\n"));
    // Every other entry is there: the mouse hook over the same library works.
    os::ModuleHandle module = 0;
    {
        windows::hook::MouseHook hook(noDeinitializer);
        Dll library(noDeinitializer);
        module = library.getModule();
    }
    // The failed construction gave its load back: with the others gone, so is the library.
    EXPECT_EQ(desktop.libraries.getProcAddress(module, "mouseProcedure"), nullptr);
    EXPECT_EQ(desktop.errors.lastError(), os::error::InvalidHandle);

    EXPECT_THAT(failure<ProcNotFoundException>([] {
                    windows::process::AttachThreadInputLibrary library(
                        "clipboard-without-getAttachThreadInputId.so");
                }),
                StartsWith("Couldn't find the proc when getting it. Dll: "
                           "clipboard-without-getAttachThreadInputId.so Proc: "
                           "getAttachThreadInputId\n"));
    EXPECT_TRUE(assertions.reports.empty());
}

TEST_F(DllTest, OnlyTheLibrarysOwnEntriesAreFound) {
    Dll library("clipboard.so");
    // The library uses the C library, but its entries are its own.
    EXPECT_THAT(failure<ProcNotFoundException>([&] { library.getProc("malloc"); }),
                EndsWith("clipboard.so: undefined symbol: malloc\n"));
    EXPECT_THAT(failure<ProcNotFoundException>([&] { library.getProc(""); }),
                StartsWith("Couldn't find the proc when getting it. Dll: clipboard.so Proc: \n"));
    EXPECT_TRUE(assertions.reported("procname != \"\""));
}

TEST_F(DllTest, EveryLoadIsUndoneAndStaleHandlesAreRefused) {
    os::ModuleHandle module = 0;
    {
        Dll first("clipboard.so");
        Dll second("clipboard.so");
        EXPECT_EQ(first.getModule(), second.getModule());
        module = first.getModule();
    }
    EXPECT_TRUE(assertions.reports.empty());
    EXPECT_EQ(desktop.libraries.getProcAddress(module, "keyboardProcedure"), nullptr);
    EXPECT_EQ(desktop.errors.lastError(), os::error::InvalidHandle);
    EXPECT_FALSE(desktop.libraries.freeLibrary(module));
    EXPECT_EQ(desktop.errors.lastError(), os::error::InvalidHandle);
}

}  // namespace
