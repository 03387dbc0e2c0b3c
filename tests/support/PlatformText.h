#pragma once

#include "os/Port.h"

#include <string>

// What differs between the systems the tests run on, for expectations that are built from
// paths, error texts and library names.
namespace testing_support {

// The installed platform's own words for an error code, as messages quote them.
inline std::string systemText(int code) {
    return os::errors().messageText(code).value_or("");
}

// The platform's directory separator.
inline std::string separator() {
    return std::string(1, os::fileSystem().separator());
}

// A relative path written with '/' as the platform writes it.
inline std::string nativePath(std::string path) {
    const char native = os::fileSystem().separator();
    for (char& c : path) {
        if (c == '/') {
            c = native;
        }
    }
    return path;
}

// The file name of a shared library built by the project.
inline std::string libraryFile(const std::string& stem) {
#if defined(_WIN32)
    return stem + ".dll";
#else
    return stem + ".so";
#endif
}

}  // namespace testing_support
