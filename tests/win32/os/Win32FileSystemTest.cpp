#include "os/ErrorCodes.h"
#include "os/win32/Win32FileSystem.h"

#include <filesystem>
#include <fstream>
#include <random>
#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;
using os::FindData;
using os::win32::Win32FileSystem;

class Win32FileSystemTest : public testing::Test {
protected:
    void SetUp() override {
        directory =
            fs::temp_directory_path() / ("pastrix-fs-" + std::to_string(std::random_device{}()));
        fs::create_directories(directory);
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(directory, ignored);
    }

    std::string path(const std::string& name) const { return (directory / name).string(); }

    void writeFile(const std::string& name, const std::string& bytes) const {
        std::ofstream(directory / name, std::ios::binary) << bytes;
    }

    std::string readFile(const std::string& name) const {
        std::ifstream in(directory / name, std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }

    std::vector<FindData> list(const std::string& mask) {
        std::vector<FindData> entries;
        FindData data;
        const os::FindHandle handle = files.findFirstFile(path(mask), data);
        if (handle == 0) {
            return entries;
        }
        do {
            entries.push_back(data);
        } while (files.findNextFile(handle, data));
        EXPECT_EQ(::GetLastError(), static_cast<DWORD>(os::error::NoMoreFiles));
        EXPECT_TRUE(files.findClose(handle));
        return entries;
    }

    fs::path directory;
    Win32FileSystem files;
};

std::vector<std::string> namesOf(const std::vector<FindData>& entries) {
    std::vector<std::string> names;
    for (const FindData& entry : entries) {
        names.push_back(entry.name);
    }
    return names;
}

TEST_F(Win32FileSystemTest, ListingsComeSortedWithDotsAndTellDirectoriesFromFiles) {
    writeFile("px_2.pxf", "two");
    writeFile("px_10.pxf", "ten");
    writeFile("ck_1.ckf", "key");
    fs::create_directory(directory / "sub");

    const std::vector<FindData> all = list("*.*");
    EXPECT_THAT(namesOf(all),
                testing::ElementsAre(".", "..", "ck_1.ckf", "px_10.pxf", "px_2.pxf", "sub"));
    EXPECT_EQ(all[0].attributes & os::FileAttributeDirectory, os::FileAttributeDirectory);
    EXPECT_EQ(all[2].attributes, os::FileAttributeNormal);
    EXPECT_EQ(all[5].attributes & os::FileAttributeDirectory, os::FileAttributeDirectory);
    EXPECT_THAT(namesOf(list("px_*.pxf")), testing::ElementsAre("px_10.pxf", "px_2.pxf"));
}

TEST_F(Win32FileSystemTest, EmptyMatchesMissingDirectoriesAndStaleHandlesFailWithTheSystemsCodes) {
    FindData data;
    EXPECT_EQ(files.findFirstFile(path("*.pxf"), data), 0U);
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(os::error::FileNotFound));
    EXPECT_EQ(files.findFirstFile(path("missing\\*.pxf"), data), 0U);
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(os::error::PathNotFound));
    EXPECT_FALSE(files.findNextFile(12345, data));
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(os::error::InvalidHandle));
    EXPECT_FALSE(files.findClose(12345));
}

TEST_F(Win32FileSystemTest, ReplacingPutsTheNewContentUnderTheTargetsNameAndRemovesTheSource) {
    writeFile("slot.pxf", "old content");
    writeFile("slot.pxf.tmp", "new content");
    ASSERT_TRUE(files.replaceFile(path("slot.pxf.tmp"), path("slot.pxf")));
    EXPECT_EQ(readFile("slot.pxf"), "new content");
    EXPECT_FALSE(fs::exists(directory / "slot.pxf.tmp"));

    // A missing source leaves the target as it was.
    EXPECT_FALSE(files.replaceFile(path("gone.tmp"), path("slot.pxf")));
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(os::error::FileNotFound));
    EXPECT_EQ(readFile("slot.pxf"), "new content");
}

TEST_F(Win32FileSystemTest, InformationDirectoriesAndTheCurrentDirectoryAreTheSystems) {
    writeFile("data.bin", std::string(1234, 'x'));
    os::FileInformation info;
    ASSERT_TRUE(files.getFileInformation(path("data.bin"), info));
    EXPECT_EQ(info.attributes, os::FileAttributeNormal);
    EXPECT_EQ(info.size, 1234U);
    EXPECT_FALSE(files.getFileInformation(path("missing"), info));
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(os::error::FileNotFound));

    ASSERT_TRUE(files.createDirectory(path("made")));
    EXPECT_FALSE(files.createDirectory(path("made")));
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(os::error::AlreadyExists));
    ASSERT_TRUE(files.getFileInformation(path("made"), info));
    EXPECT_EQ(info.attributes, os::FileAttributeDirectory);

    std::string before;
    ASSERT_TRUE(files.getCurrentDirectory(before));
    ASSERT_TRUE(files.setCurrentDirectory(path("made")));
    std::string inside;
    ASSERT_TRUE(files.getCurrentDirectory(inside));
    std::string resolved;
    ASSERT_TRUE(files.getFinalPathName(".", resolved));
    EXPECT_EQ(fs::path(resolved), fs::path(inside));
    ASSERT_TRUE(files.setCurrentDirectory(before));

    EXPECT_TRUE(files.removeDirectory(path("made")));
    EXPECT_TRUE(files.deleteFile(path("data.bin")));
    EXPECT_FALSE(files.deleteFile(path("data.bin")));
    std::string program;
    ASSERT_TRUE(files.getModuleFileName(program));
    EXPECT_THAT(program, testing::EndsWith(".exe"));
}

TEST(Win32FileSystemAttributesTest, LinksAreToldApartFromWhatTheyLeadTo) {
    EXPECT_EQ(Win32FileSystem::attributesOf(FILE_ATTRIBUTE_ARCHIVE), os::FileAttributeNormal);
    EXPECT_EQ(Win32FileSystem::attributesOf(FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_ARCHIVE),
              os::FileAttributeReparsePoint);
    EXPECT_EQ(
        Win32FileSystem::attributesOf(FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY),
        os::FileAttributeReparsePoint | os::FileAttributeDirectory);
    EXPECT_EQ(Win32FileSystem::attributesOf(FILE_ATTRIBUTE_DEVICE), os::FileAttributeDevice);
}

}  // namespace
