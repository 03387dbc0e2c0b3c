#include "os/ErrorCodes.h"
#include "os/Port.h"
#include "os/common/MemoryBlockCopy.h"
#include "os/posix/HeapMemory.h"
#include "support/SimDesktopTest.h"

#include <gmock/gmock.h>

namespace {

using ::testing::_;
using ::testing::Return;

class MemoryBlockCopyTest : public testing_support::SimDesktopTest {
protected:
    os::posix::HeapMemory memory{os::errors()};
    os::common::MemoryBlockCopy copy{memory};
};

TEST_F(MemoryBlockCopyTest, BytesSurviveTheTripThroughABlockAndTheBlockGoes) {
    for (const std::string& bytes :
         {std::string("a"), std::string("nul\0inside", 10), std::string(70000, '\xff')}) {
        const os::MemoryHandle block = copy.copyIn(bytes);
        ASSERT_NE(block, 0U);
        EXPECT_EQ(memory.size(block), bytes.size());
        EXPECT_EQ(copy.takeOut(block), bytes);
        EXPECT_EQ(memory.liveBlocks(), 0U);
    }
}

TEST_F(MemoryBlockCopyTest, AStaleBlockGivesNothingAndSaysWhy) {
    const os::MemoryHandle block = copy.copyIn("gone");
    ASSERT_EQ(memory.free(block), 0U);
    EXPECT_FALSE(copy.takeOut(block).has_value());
    EXPECT_EQ(os::errors().lastError(), os::error::InvalidHandle);
}

class MockMemory final : public os::GlobalMemory {
public:
    MOCK_METHOD(os::MemoryHandle, alloc, (unsigned, std::size_t), (override));
    MOCK_METHOD(void*, lock, (os::MemoryHandle), (override));
    MOCK_METHOD(bool, unlock, (os::MemoryHandle), (override));
    MOCK_METHOD(os::MemoryHandle, free, (os::MemoryHandle), (override));
    MOCK_METHOD(std::size_t, size, (os::MemoryHandle), (const, override));
};

TEST(MemoryBlockCopyFailureTest, ABlockThatCannotBeFilledIsFreedAndOneNotTakenIsKept) {
    MockMemory memory;
    const os::common::MemoryBlockCopy copy(memory);

    EXPECT_CALL(memory, alloc(os::GMemMoveable, 3)).WillOnce(Return(0x20));
    EXPECT_CALL(memory, lock(0x20)).WillOnce(Return(nullptr));
    EXPECT_CALL(memory, free(0x20)).WillOnce(Return(0));
    EXPECT_EQ(copy.copyIn("abc"), 0U);

    // A block that cannot be read stays the caller's: it may still be handed back.
    EXPECT_CALL(memory, size(0x30)).WillOnce(Return(5));
    EXPECT_CALL(memory, lock(0x30)).WillOnce(Return(nullptr));
    EXPECT_CALL(memory, free(_)).Times(0);
    EXPECT_FALSE(copy.takeOut(0x30).has_value());
}

}  // namespace
