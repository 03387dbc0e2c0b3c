#include "os/ErrorCodes.h"
#include "os/win32/Win32Errors.h"
#include "os/win32/Win32GlobalMemory.h"
#include "os/win32/Win32Threads.h"

#include <atomic>
#include <cstring>
#include <thread>
#include <windows.h>

#include <gtest/gtest.h>

namespace {

using os::win32::Win32Errors;

TEST(Win32ErrorsTest, TheLastErrorIsTheSystemsOwnAndTextsAreTheSystemsWords) {
    Win32Errors errors;
    errors.setLastError(os::error::AccessDenied);
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    ::SetLastError(ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(errors.lastError(), os::error::FileNotFound);

    const auto text = errors.messageText(os::error::FileNotFound);
    ASSERT_TRUE(text.has_value());
    // The words differ between Windows and Wine; both end the text with a line break.
    EXPECT_GT(text->size(), 2U);
    EXPECT_EQ(text->substr(text->size() - 2), "\r\n");
    // Asking for a text reports nothing of its own.
    EXPECT_EQ(errors.lastError(), os::error::FileNotFound);
    EXPECT_FALSE(errors.messageText(0x1FFFFFFF).has_value());
    EXPECT_EQ(errors.lastError(), os::error::FileNotFound);
}

TEST(Win32ThreadsTest, EachThreadHasItsOwnIdAndLastError) {
    os::win32::Win32Threads threads;
    Win32Errors errors;
    // Spinning, not waiting: a wait is a system call that may change the thread's last error.
    std::atomic<int> step{0};
    os::ThreadId other = 0;
    int otherError = 0;
    std::thread worker([&] {
        other = threads.getCurrentThreadId();
        errors.setLastError(os::error::AccessDenied);
        step = 1;
        while (step.load() != 2) {
        }
        otherError = errors.lastError();
    });
    while (step.load() != 1) {
    }
    // Both threads hold an error of their own at the same time.
    errors.setLastError(os::error::DiskFull);
    const int ownError = errors.lastError();
    step = 2;
    worker.join();
    EXPECT_EQ(ownError, os::error::DiskFull);
    EXPECT_EQ(otherError, os::error::AccessDenied);
    EXPECT_NE(other, 0U);
    EXPECT_NE(other, threads.getCurrentThreadId());
    EXPECT_EQ(threads.getCurrentThreadId(), ::GetCurrentThreadId());
}

TEST(Win32GlobalMemoryTest, BlocksAreTheSystemsAndKeepTheirBytesAndLocks) {
    os::win32::Win32GlobalMemory memory;
    const os::MemoryHandle block = memory.alloc(os::GMemMoveable | os::GMemZeroInit, 5);
    ASSERT_NE(block, 0U);
    EXPECT_EQ(memory.size(block), 5U);
    auto* bytes = static_cast<char*>(memory.lock(block));
    ASSERT_NE(bytes, nullptr);
    EXPECT_EQ(std::memcmp(bytes, "\0\0\0\0\0", 5), 0);
    std::memcpy(bytes, "a\0b\0c", 5);
    EXPECT_EQ(memory.lock(block), bytes);
    EXPECT_TRUE(memory.unlock(block));
    ::SetLastError(ERROR_INVALID_DATA);
    EXPECT_FALSE(memory.unlock(block));
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));

    // What the clipboard gets is the block itself.
    const auto* seen = static_cast<const char*>(::GlobalLock(reinterpret_cast<HGLOBAL>(block)));
    ASSERT_NE(seen, nullptr);
    EXPECT_EQ(std::memcmp(seen, "a\0b\0c", 5), 0);
    ::GlobalUnlock(reinterpret_cast<HGLOBAL>(block));
    EXPECT_EQ(memory.free(block), 0U);

    EXPECT_EQ(memory.lock(0), nullptr);
    EXPECT_EQ(memory.size(0), 0U);
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

}  // namespace
