#include "os/ErrorCodes.h"
#include "support/PlatformText.h"
#include "support/SimDesktopTest.h"
#include "windows/file/WindowsFileException.h"
#include "windows/file/WindowsFileHelper.h"

#include <filesystem>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

namespace Files = windows::file::WindowsFileHelper;
using testing::ElementsAre;
using testing::HasSubstr;
using testing::StartsWith;
using testing_support::separator;
using testing_support::systemText;

class WindowsFileHelperTest : public testing_support::SimDesktopAssertionTest {
protected:
    WindowsFileHelperTest() {
        writeFile("ws/px_65.pxf", "a");
        writeFile("ws/px_66.pxf", "b");
        writeFile("ws/ck_1.ckf", "c");
        writeFile("ws/notes", "d");
        std::filesystem::create_directories(path("ws/sub.pxf"));
        std::filesystem::create_directories(path("ws/other"));
        ws = path("ws");
    }

    // An entry of the workspace directory as the helper names it.
    std::string in(const std::string& name) const { return ws + separator() + name; }

    std::string ws;
};

TEST_F(WindowsFileHelperTest, FileListingIsTheSameWithAndWithoutTrailingSeparator) {
    const auto expected = ElementsAre(in("px_65.pxf"), in("px_66.pxf"));
    EXPECT_THAT(Files::getFirstLevelFiles(ws, "*.pxf"), expected);  // the directory is left out
    EXPECT_THAT(Files::getFirstLevelFiles(ws + separator(), "*.pxf"), expected);
    EXPECT_THAT(Files::getFirstLevelFiles(ws, "px_6?.pxf"), expected);
    EXPECT_THAT(Files::getFirstLevelFiles(ws, "*.*"),
                ElementsAre(in("ck_1.ckf"), in("notes"), in("px_65.pxf"), in("px_66.pxf")));
    EXPECT_TRUE(Files::getFirstLevelFiles(ws, "*.xyz").empty());
    EXPECT_TRUE(assertions.reports.empty());
}

TEST_F(WindowsFileHelperTest, DirectoryListingSkipsDotEntriesAndFiles) {
    EXPECT_THAT(Files::getFirstLevelDirectories(ws), ElementsAre(in("other"), in("sub.pxf")));
    std::filesystem::create_directories(path("empty"));
    EXPECT_TRUE(Files::getFirstLevelDirectories(path("empty")).empty());
}

TEST_F(WindowsFileHelperTest, ListingOfMissingOrEmptyNamedDirectoryFails) {
    try {
        Files::getFirstLevelFiles(path("gone"), "*.pxf");
        FAIL() << "no exception";
    } catch (const windows::file::CouldNotGetFirstLevelFilesException& e) {
        EXPECT_EQ(e.getMessage(),
                  "Error when trying to get first level directories. \nThe error occured when "
                  "opening a find file handle. Initial directory: " +
                      path("gone") + separator() +
                      "\n\nSystem error message: " + systemText(os::error::PathNotFound));
    }
    EXPECT_THROW(Files::getFirstLevelDirectories(path("gone")),
                 windows::file::CouldNotGetFirstLevelDirectoriesException);

    Files::getFirstLevelFiles("", "*");
    EXPECT_TRUE(assertions.reported("initialDirectory != \"\""));
#if defined(_WIN32)
    // Windows refuses a pattern beyond its path limit, and the listing passes that on.
    EXPECT_THROW(Files::getFirstLevelFiles(ws, std::string(300, '?')),
                 windows::file::CouldNotGetFirstLevelFilesException);
#else
    Files::getFirstLevelFiles(ws, std::string(300, '?'));
#endif
    EXPECT_TRUE(assertions.reported("mask.size() <= MAX_PATH"));
}

TEST_F(WindowsFileHelperTest, DirectoriesAreCreatedDeletedAndMessagesNameThem) {
    Files::createDirectory(path("new"));
    Files::createDirectory(path("new"));  // already there: fine
    EXPECT_TRUE(std::filesystem::is_directory(path("new")));
    Files::deleteDirectory(path("new"));
    EXPECT_FALSE(std::filesystem::exists(path("new")));

    try {
        Files::deleteDirectory(ws);
        FAIL() << "no exception";
    } catch (const windows::file::CouldNotDeleteDirectoryException& e) {
        EXPECT_EQ(e.getMessage(),
                  "Could not delete the directory: " + ws +
                      ". System error message: " + systemText(os::error::DirNotEmpty));
    }
    try {
        Files::createDirectory(path("no/such/parent"));
        FAIL() << "no exception";
    } catch (const windows::file::CouldNotCreateDirectoryException& e) {
        EXPECT_THAT(e.getMessage(),
                    StartsWith("Could not create the directory: " + path("no/such/parent") +
                               ". System error message: "));
    }
}

TEST_F(WindowsFileHelperTest, DeleteFilesEmptiesTheDirectoryButKeepsSubdirectories) {
    Files::deleteFiles(ws);
    EXPECT_TRUE(Files::getFirstLevelFiles(ws, "*.*").empty());
    EXPECT_EQ(Files::getFirstLevelDirectories(ws).size(), 2U);

    try {
        Files::deleteFile(in("other"));
        FAIL() << "a directory must not be deleted as a file";
    } catch (const windows::file::CouldNotDeleteFileException& e) {
        EXPECT_EQ(e.getMessage(),
                  "Couldn't delete the file: " + in("other") +
                      "\nSystem error message: " + systemText(os::error::AccessDenied));
    }
}

TEST_F(WindowsFileHelperTest, CurrentDirectoryEndsWithSeparatorAndCanBeChanged) {
    EXPECT_EQ(Files::getCurrentDirectory(), directory.string() + separator());
    Files::setCurrentDirectory(ws);
    EXPECT_EQ(Files::getCurrentDirectory(), ws + separator());
    EXPECT_THROW(Files::setCurrentDirectory(path("gone")),
                 windows::file::CouldNotSetCurrentDirectoryException);
    EXPECT_THAT(Files::getModuleFileName(), HasSubstr("pastrix_tests"));
}

}  // namespace
