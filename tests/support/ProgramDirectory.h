#pragma once

#include "os/Port.h"

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

namespace testing_support {

// The directory of the test program, where the built hook libraries are.
inline std::filesystem::path programDirectory() {
    std::string program;
    EXPECT_TRUE(os::fileSystem().getModuleFileName(program));
    return std::filesystem::path(program).parent_path();
}

}  // namespace testing_support
