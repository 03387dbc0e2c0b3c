#include "os/posix/PosixFileSystem.h"

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

}  // namespace
