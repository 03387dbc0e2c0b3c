#include "os/ErrorCodes.h"
#include "os/posix/PosixFileSystem.h"
#include "support/SimDesktopTest.h"

#include <filesystem>
#include <map>
#include <sys/stat.h>

#include <gtest/gtest.h>

namespace {

using os::posix::PosixFileSystem;

TEST(PosixFileSystemTest, MasksMatchLikeTheDesktopsFileDialogs) {
    const struct {
        const char* name;
        const char* mask;
        bool matches;
    } cases[] = {
        {"px_65.pxf", "*.pxf", true},     {"px_65.pxf", "*.ckf", false},
        {"px_65.pxf", "px_??.pxf", true}, {"px_5.pxf", "px_??.pxf", false},
        {"README", "*.*", true},          {".", "*", true},
        {"a.b.c", "*.c", true},           {"a.b.c", "a*b", false},
        {"abc", "a*b*c", true},           {"PX_1.PXF", "*.pxf", false},
        {"aaaa", "*a*a*a*a*a", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " ~ " + c.mask);
        EXPECT_EQ(PosixFileSystem::matchesMask(c.name, c.mask), c.matches);
    }
}

class PosixFileSystemEntriesTest : public testing_support::SimDesktopTest {};

TEST_F(PosixFileSystemEntriesTest, LinksPipesAndFilesAreToldApartWithoutFollowingLinks) {
    namespace fs = std::filesystem;
    writeFile("dir/file", "12345");
    fs::create_symlink(directory / "dir" / "file", directory / "dir" / "to-file");
    fs::create_directory_symlink(directory / "dir", directory / "dir" / "to-dir");
    fs::create_symlink(directory / "none", directory / "dir" / "dangling");
    ASSERT_EQ(::mkfifo(path("dir/pipe").c_str(), 0600), 0);
    os::FileSystem& files = desktop.fileSystem;

    const std::map<std::string, unsigned> expected = {
        {"file", os::FileAttributeNormal},         {"to-file", os::FileAttributeReparsePoint},
        {"to-dir", os::FileAttributeReparsePoint}, {"dangling", os::FileAttributeReparsePoint},
        {"pipe", os::FileAttributeDevice},
    };
    for (const auto& [name, attributes] : expected) {
        os::FileInformation info;
        ASSERT_TRUE(files.getFileInformation(path("dir/" + name), info)) << name;
        EXPECT_EQ(info.attributes, attributes) << name;
    }
    os::FileInformation info;
    ASSERT_TRUE(files.getFileInformation(path("dir/file"), info));
    EXPECT_EQ(info.size, 5U);
    EXPECT_FALSE(files.getFileInformation(path("dir/missing"), info));
    EXPECT_EQ(desktop.errors.lastError(), os::error::FileNotFound);

    // A listing marks a link as one, and a link to a directory as a directory too.
    std::map<std::string, unsigned> listed;
    os::FindData data;
    const os::FindHandle search = files.findFirstFile(path("dir") + "/*", data);
    ASSERT_NE(search, 0U);
    do {
        listed[data.name] = data.attributes;
    } while (files.findNextFile(search, data));
    files.findClose(search);
    EXPECT_EQ(listed["to-dir"], os::FileAttributeReparsePoint | os::FileAttributeDirectory);
    EXPECT_EQ(listed["to-file"], os::FileAttributeReparsePoint);
    EXPECT_EQ(listed["pipe"], os::FileAttributeDevice);

    std::string resolved;
    ASSERT_TRUE(files.getFinalPathName(path("dir/to-dir/to-file"), resolved));
    EXPECT_EQ(resolved, fs::canonical(directory / "dir" / "file").string());
    EXPECT_FALSE(files.getFinalPathName(path("dir/dangling"), resolved));
}

}  // namespace
