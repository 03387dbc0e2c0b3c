#include "os/ErrorCodes.h"
#include "os/Port.h"
#include "support/PlatformText.h"
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

std::string lib(const std::string& stem) {
    return testing_support::libraryFile(stem);
}

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
#if defined(_WIN32)
    const std::string words = testing_support::systemText(os::error::ModNotFound);
#else
    const std::string words =
        "missing.so: cannot open shared object file: No such file or "
        "directory\n";
#endif
    EXPECT_EQ(failure<DllNotFoundException>([] { Dll missing(lib("missing")); }),
              "Couldn't load the dll: " + lib("missing") + "\nSystem error message: " + words);
    // The hook objects fail the same way.
    EXPECT_THAT(
        failure<DllNotFoundException>([] { windows::hook::KeyboardHook hook(lib("gone")); }),
        StartsWith("Couldn't load the dll: " + lib("gone") + "\n"));
    EXPECT_TRUE(assertions.reports.empty());
}

TEST_F(DllTest, ACorruptLibraryFailsWithTheReason) {
    writeFile(lib("broken"), "not a library at all");
#if defined(_WIN32)
    // The system's ERROR_BAD_EXE_FORMAT.
    const std::string words = testing_support::systemText(193);
#else
    const std::string words = "./broken.so: ";
#endif
    EXPECT_THAT(
        failure<DllNotFoundException>([] { Dll broken(lib("broken")); }),
        StartsWith("Couldn't load the dll: " + lib("broken") + "\nSystem error message: " + words));
}

TEST_F(DllTest, AnEmptyNameIsReportedAndFails) {
    EXPECT_EQ(failure<DllNotFoundException>([] { Dll unnamed(""); }),
              "Couldn't load the dll: \nSystem error message: " +
                  testing_support::systemText(os::error::InvalidParameter));
    EXPECT_TRUE(assertions.reported("_filename != \"\""));
}

TEST_F(DllTest, LibrariesAreFoundBesideTheProgramThenInTheCurrentDirectory) {
    Dll beside(lib("clipboard"));
    EXPECT_NE(beside.getModule(), 0U);
    std::filesystem::copy_file(testing_support::programDirectory() / lib("clipboard"),
                               lib("local-hooks"));
    Dll local(lib("local-hooks"));
    EXPECT_NE(local.getModule(), beside.getModule());
    EXPECT_NE(local.getProc(windows::hook::entry::KeyboardProcedure), nullptr);
}

TEST_F(DllTest, ALibraryWithoutAnEntryFailsNamingIt) {
    const std::string noDeinitializer = lib("clipboard-without-keyboardDeinitializer");
    const std::string message =
        failure<ProcNotFoundException>([&] { windows::hook::KeyboardHook hook(noDeinitializer); });
    EXPECT_THAT(message,
                StartsWith("Couldn't find the proc when getting it. Dll: " + noDeinitializer +
                           " Proc: keyboardDeinitializer\nSystem error message: "));
#if defined(_WIN32)
    EXPECT_THAT(message, EndsWith(testing_support::systemText(os::error::ProcNotFound)));
#else
    EXPECT_THAT(message, EndsWith("undefined symbol: keyboardDeinitializer\n"));
#endif
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
                        lib("clipboard-without-getAttachThreadInputId"));
                }),
                StartsWith("Couldn't find the proc when getting it. Dll: " +
                           lib("clipboard-without-getAttachThreadInputId") +
                           " Proc: getAttachThreadInputId\n"));
    EXPECT_TRUE(assertions.reports.empty());
}

TEST_F(DllTest, OnlyTheLibrarysOwnEntriesAreFound) {
    Dll library(lib("clipboard"));
    // The library uses the C library, but its entries are its own.
#if defined(_WIN32)
    const std::string words = testing_support::systemText(os::error::ProcNotFound);
#else
    const std::string words = "clipboard.so: undefined symbol: malloc\n";
#endif
    EXPECT_THAT(failure<ProcNotFoundException>([&] { library.getProc("malloc"); }),
                EndsWith(words));
    EXPECT_THAT(failure<ProcNotFoundException>([&] { library.getProc(""); }),
                StartsWith("Couldn't find the proc when getting it. Dll: " + lib("clipboard") +
                           " Proc: \n"));
    EXPECT_TRUE(assertions.reported("procname != \"\""));
}

TEST_F(DllTest, EveryLoadIsUndoneAndStaleHandlesAreRefused) {
    os::ModuleHandle module = 0;
    {
        Dll first(lib("clipboard"));
        Dll second(lib("clipboard"));
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
