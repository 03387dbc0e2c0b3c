#include "os/ErrorCodes.h"
#include "os/win32/Win32Libraries.h"
#include "os/win32/Win32Shell.h"
#include "os/win32/Win32SystemInfo.h"

#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

using os::win32::Win32Libraries;

TEST(Win32LibrariesTest, LoadsCountEntriesResolveAndForeignHandlesAreRefused) {
    Win32Libraries libraries;
    const os::ModuleHandle first = libraries.loadLibrary("version.dll");
    ASSERT_NE(first, 0U);
    const os::ModuleHandle second = libraries.loadLibrary("version.dll");
    EXPECT_EQ(first, second);
    EXPECT_NE(libraries.getProcAddress(first, "GetFileVersionInfoSizeA"), nullptr);
    EXPECT_EQ(libraries.getProcAddress(first, "NoSuchEntry"), nullptr);
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(os::error::ProcNotFound));

    EXPECT_TRUE(libraries.freeLibrary(first));
    EXPECT_TRUE(libraries.freeLibrary(second));
    // Every load is undone: the handle is no longer this object's to use.
    EXPECT_FALSE(libraries.freeLibrary(first));
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(os::error::InvalidHandle));
    EXPECT_EQ(libraries.getProcAddress(0x1234, "GetFileVersionInfoSizeA"), nullptr);
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(os::error::InvalidHandle));
}

TEST(Win32LibrariesTest, AMissingLibraryFailsWithTheSystemsCodeAndNoDialog) {
    Win32Libraries libraries;
    EXPECT_EQ(libraries.loadLibrary("pastrix-no-such-library.dll"), 0U);
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(os::error::ModNotFound));
    EXPECT_EQ(libraries.loadLibrary(""), 0U);
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(os::error::InvalidParameter));
}

TEST(Win32SystemInfoTest, TheVersionIsTheSystemsOwnAndAWrongRecordSizeIsRefused) {
    os::win32::Win32SystemInfo info;
    os::VersionInfo version;
    EXPECT_FALSE(info.getVersionEx(version));
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(os::error::InvalidParameter));

    version.size = os::VersionInfoSize;
    ASSERT_TRUE(info.getVersionEx(version));
    EXPECT_EQ(version.platformId, os::PlatformNT);
    // Wine reports the Windows it imitates; no NT system reports less than Windows 2000.
    EXPECT_GE(version.majorVersion, 5U);
    EXPECT_LT(version.csdVersion.size(), 128U);

    EXPECT_GT(info.getSystemMetrics(os::SmCxScreen), 0);
    EXPECT_THAT(info.getCommandLine(), testing::HasSubstr("pastrix_win32_tests"));
}

TEST(Win32ShellTest, AFileThatIsNotThereIsAFailureWithTheSystemsReason) {
    os::win32::Win32Shell shell;
    const std::intptr_t result =
        shell.shellExecute(0, "open", "Z:\\pastrix-no-such-dir\\manual.html", os::SwShowNormal);
    EXPECT_LE(result, os::ShellExecuteFailureLimit);
    const DWORD error = ::GetLastError();
    EXPECT_TRUE(error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) << error;
}

}  // namespace
