#include "os/ErrorCodes.h"
#include "os/GlobalMemory.h"
#include "support/PlatformText.h"
#include "support/SimDesktopTest.h"
#include "windows/memory/MemoryExceptions.h"
#include "windows/memory/WindowsMemoryHelper.h"

#include <cstring>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

namespace Memory = windows::memory::WindowsMemoryHelper;
using testing::StartsWith;

using WindowsMemoryHelperTest = testing_support::SimDesktopAssertionTest;

TEST_F(WindowsMemoryHelperTest, BlockHoldsExactlyItsBytesThroughLockAndUnlock) {
    const os::MemoryHandle block = Memory::globalAlloc(os::GMemMoveable, 5);
    EXPECT_EQ(Memory::globalSize(block), 5U);
    std::memcpy(Memory::globalLock(block), "hello", 5);
    Memory::globalUnlock(block);  // unlocked now: the system says 0, which is success

    // Locked twice, unlocked twice: both unlocks succeed.
    const auto* bytes = static_cast<const char*>(Memory::globalLock(block));
    Memory::globalLock(block);
    EXPECT_EQ(std::string(bytes, 5), "hello");
    Memory::globalUnlock(block);
    Memory::globalUnlock(block);
    Memory::globalFree(block);
    EXPECT_EQ(desktop.memory.liveBlocks(), 0U);
    EXPECT_TRUE(assertions.reports.empty());
}

TEST_F(WindowsMemoryHelperTest, MisuseFailsWithTheHandleInTheMessage) {
    const os::MemoryHandle block = Memory::globalAlloc(os::GMemMoveable, 1);
    EXPECT_THROW(Memory::globalUnlock(block), windows::memory::CouldNotGlobalUnlockException);
    Memory::globalFree(block);

    try {
        Memory::globalFree(block);
        FAIL() << "a block is freed once";
    } catch (const windows::memory::CouldNotGlobalFreeException& e) {
        EXPECT_THAT(e.getMessage(),
                    StartsWith("Error when free memory with GlobalFree. Handle: 0x1000\n"
                               "System error message: " +
                               testing_support::systemText(os::error::InvalidHandle)));
    }
    EXPECT_THROW(Memory::globalLock(block), windows::memory::CouldNotGlobalLockException);
    EXPECT_THROW(Memory::globalSize(block), windows::memory::CouldNotGlobalSizeException);
}

TEST_F(WindowsMemoryHelperTest, ZeroSizesAndNullHandlesAreReported) {
    const os::MemoryHandle block = Memory::globalAlloc(os::GMemMoveable, 0);
    EXPECT_TRUE(assertions.reported("size > 0"));
    EXPECT_THROW(Memory::globalSize(block), windows::memory::CouldNotGlobalSizeException);
    Memory::globalFree(block);

    EXPECT_THROW(Memory::globalSize(0), windows::memory::CouldNotGlobalSizeException);
    EXPECT_TRUE(assertions.reported("memoryHandle != 0"));
}

}  // namespace
