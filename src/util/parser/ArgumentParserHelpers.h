#pragma once

#include <string>

namespace util::parser::ArgumentParserHelpers {

// The directory part of a path, with its final path separator, after every double quote
// has been removed; empty when the path names no directory.
std::string getDirectory(const std::string& path);

// The directory of the running program, with its final path separator. Throws
// windows::file::CouldNotGetModuleFileNameException.
std::string getProgramDirectory();

}  // namespace util::parser::ArgumentParserHelpers
