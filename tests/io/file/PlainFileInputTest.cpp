#include "io/file/FileExceptions.h"
#include "io/file/FileHelper.h"
#include "io/file/MemoryFileInput.h"
#include "io/file/PlainFileInput.h"
#include "support/SimDesktopTest.h"

#include <memory>
#include <string>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

using io::file::CouldNotLoadFileException;
using io::file::FileInput;
using io::file::MemoryFileInput;
using io::file::PlainFileInput;
using testing::HasSubstr;

using FileInputTest = testing_support::SimDesktopAssertionTest;

// Both kinds of input hand out a file front to back in pieces and refuse to read past its
// end, leaving what was read before intact.
TEST_F(FileInputTest, PiecesComeInOrderAndNothingIsReadPastTheEnd) {
    const std::string bytes = std::string("head\0", 5) + std::string(300000, 'x') + "tail";
    writeFile("file", bytes);
    const std::unique_ptr<FileInput> inputs[] = {
        std::make_unique<PlainFileInput>(path("file")),
        std::make_unique<MemoryFileInput>(path("file"), bytes),
    };
    for (const auto& input : inputs) {
        ASSERT_EQ(input->size(), bytes.size());
        std::string head(5, '?');
        std::string body(300000, '?');
        std::string tail(4, '?');
        input->read(head.data(), head.size());
        input->read(body.data(), body.size());
        EXPECT_EQ(input->remaining(), 4u);
        std::string tooLong(5, '?');
        try {
            input->read(tooLong.data(), tooLong.size());
            ADD_FAILURE() << "read past the end";
        } catch (const CouldNotLoadFileException& e) {
            EXPECT_THAT(e.getMessage(), HasSubstr(path("file")));
            EXPECT_THAT(e.getMessage(), HasSubstr("File size: " + std::to_string(bytes.size())));
        }
        EXPECT_EQ(tooLong, "?????");
        input->read(tail.data(), tail.size());
        input->read(nullptr, 0);
        EXPECT_EQ(head + body + tail, bytes);
        EXPECT_EQ(input->remaining(), 0u);
    }
}

TEST_F(FileInputTest, AFileThatCannotBeOpenedFailsAsALoadDoes) {
    std::filesystem::create_directories(directory / "folder");
    for (const std::string name : {"missing", "folder"}) {
        std::string loadMessage;
        try {
            io::file::FileHelper::load(path(name));
        } catch (const CouldNotLoadFileException& e) {
            loadMessage = e.getMessage();
        }
        try {
            PlainFileInput input(path(name));
            ADD_FAILURE() << name;
        } catch (const CouldNotLoadFileException& e) {
            EXPECT_EQ(e.getMessage(), loadMessage) << name;
            EXPECT_THAT(e.getMessage(), HasSubstr("trying to open the file for reading"));
        }
    }
}

}  // namespace
