#include "io/file/FileExceptions.h"
#include "io/file/FileHelper.h"
#include "io/file/PlainFileReader.h"
#include "io/file/PlainFileWriter.h"
#include "os/ErrorCodes.h"
#include "os/ScopedInstall.h"
#include "support/PlatformText.h"
#include "support/SimDesktopTest.h"

#include <filesystem>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

namespace FileHelper = io::file::FileHelper;
using io::file::CouldNotLoadFileException;
using io::file::CouldNotSaveFileException;
using testing::HasSubstr;
using testing::StartsWith;
using testing_support::separator;
using testing_support::systemText;

using FileHelperTest = testing_support::SimDesktopAssertionTest;

template <typename Exception, typename Action>
std::string messageOf(Action action) {
    try {
        action();
    } catch (const Exception& e) {
        return e.getMessage();
    }
    ADD_FAILURE() << "no exception";
    return "";
}

TEST_F(FileHelperTest, LoadsWholeFilesAndPrefixes) {
    writeFile("empty", "");
    writeFile("four", std::string("a\0\r\n", 4));
    EXPECT_EQ(FileHelper::load("empty"), "");
    EXPECT_EQ(FileHelper::load("four"), std::string("a\0\r\n", 4));
    EXPECT_EQ(FileHelper::load(path("four"), 2), std::string("a\0", 2));
}

TEST_F(FileHelperTest, ReadingMoreThanTheFileHoldsNamesBothNumbers) {
    writeFile("four", "abcd");
    const std::string message =
        messageOf<CouldNotLoadFileException>([] { FileHelper::load("four", 10); });
    EXPECT_THAT(message,
                StartsWith("Tried to read a larger number of bytes from a file that it "
                           "contained. Tried to read : 10 File size: 4\nFilename: 'four'"));
    EXPECT_THAT(message, HasSubstr("\nC++ exception: None."));
}

TEST_F(FileHelperTest, FailureMessageNamesFileDirectoryErrorAndCause) {
    const std::string message =
        messageOf<CouldNotLoadFileException>([] { FileHelper::load("missing.pxf"); });
    const std::string expectedStart =
        "An error occured when trying to open the file for reading.\nFilename: 'missing.pxf'"
        "\nCurrent Working Directory: " +
        std::filesystem::current_path().string() + separator() + "\n" +
        "System error message: " + systemText(os::error::FileNotFound) + "\nC++ exception: ";
    EXPECT_THAT(message, StartsWith(expectedStart));
    EXPECT_GT(message.size(), expectedStart.size());  // the stream's own text follows
    EXPECT_FALSE(FileHelper::exists("missing.pxf"));
}

TEST_F(FileHelperTest, DirectoriesAreNeitherLoadedNorOverwritten) {
    std::filesystem::create_directory(path("folder"));
    EXPECT_FALSE(FileHelper::exists("folder"));
    EXPECT_THAT(messageOf<CouldNotLoadFileException>([] { FileHelper::load("folder"); }),
                StartsWith("An error occured when trying to open the file for reading."));
    EXPECT_THAT(messageOf<CouldNotSaveFileException>([] { FileHelper::save("folder", "x"); }),
                StartsWith("An error occured when trying to open the file for writing."));
    EXPECT_TRUE(std::filesystem::is_directory(path("folder")));
}

TEST_F(FileHelperTest, SaveReplacesTheWholeFileAndLeavesNothingElseBehind) {
    writeFile("slot.pxf", "a much longer old content");
    FileHelper::save("slot.pxf", "new");
    EXPECT_EQ(readFile("slot.pxf"), "new");
    EXPECT_TRUE(FileHelper::exists("slot.pxf"));
    // The temporary file the save went through is gone.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(directory),
                            std::filesystem::directory_iterator()),
              1);
}

// The real file system, except that the last step of a whole-file save is refused.
class RefusingReplaceFileSystem final : public os::FileSystem {
public:
    explicit RefusingReplaceFileSystem(os::sim::SimDesktop& desktop)
        : real(desktop.fileSystem), errors(desktop.errors) {}

    char separator() const override { return real.separator(); }
    bool getModuleFileName(std::string& p) const override { return real.getModuleFileName(p); }
    bool getCurrentDirectory(std::string& p) const override { return real.getCurrentDirectory(p); }
    bool setCurrentDirectory(const std::string& p) override { return real.setCurrentDirectory(p); }
    bool createDirectory(const std::string& p) override { return real.createDirectory(p); }
    bool removeDirectory(const std::string& p) override { return real.removeDirectory(p); }
    bool deleteFile(const std::string& p) override { return real.deleteFile(p); }
    bool replaceFile(const std::string&, const std::string&) override {
        errors.setLastError(os::error::AccessDenied);
        return false;
    }
    bool getFileInformation(const std::string& p, os::FileInformation& i) const override {
        return real.getFileInformation(p, i);
    }
    bool getFinalPathName(const std::string& p, std::string& r) const override {
        return real.getFinalPathName(p, r);
    }
    os::FindHandle findFirstFile(const std::string& p, os::FindData& d) override {
        return real.findFirstFile(p, d);
    }
    bool findNextFile(os::FindHandle h, os::FindData& d) override {
        return real.findNextFile(h, d);
    }
    bool findClose(os::FindHandle h) override { return real.findClose(h); }

private:
    os::FileSystem& real;
    os::Errors& errors;
};

TEST_F(FileHelperTest, FailedSaveKeepsTheOldFileWhole) {
    EXPECT_THAT(messageOf<CouldNotSaveFileException>(
                    [] { FileHelper::save("no-such-dir/slot.pxf", "new"); }),
                StartsWith("An error occured when trying to open the file for writing.\n"
                           "Filename: 'no-such-dir/slot.pxf'"));

    writeFile("slot.pxf", "old content");
    RefusingReplaceFileSystem refusing(desktop);
    os::Port port = desktop.port();
    port.fileSystem = &refusing;
    os::ScopedInstall refusingInstalled(port);
    const std::string message =
        messageOf<CouldNotSaveFileException>([] { FileHelper::save("slot.pxf", "new"); });
    EXPECT_THAT(message, StartsWith("An error occured when trying to write the file.\n"
                                    "Filename: 'slot.pxf'"));
    EXPECT_THAT(message, HasSubstr("System error message: " + systemText(os::error::AccessDenied)));
    EXPECT_EQ(readFile("slot.pxf"), "old content");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(directory),
                            std::filesystem::directory_iterator()),
              1);
}

TEST_F(FileHelperTest, AppendModeWritesInPlace) {
    writeFile("log", "one ");
    FileHelper::save("log", "two", std::ios::app);
    EXPECT_EQ(readFile("log"), "one two");
}

TEST_F(FileHelperTest, PlainReaderAndWriterForwardUnchanged) {
    io::file::PlainFileWriter writer;
    io::file::PlainFileReader reader;
    const std::string bytes("\x00\xff\r\n\x1a", 5);
    writer.write("data", bytes, std::ios_base::openmode{});
    EXPECT_EQ(reader.read("data", 0), bytes);
}

}  // namespace
