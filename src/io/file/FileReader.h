#pragma once

#include <cstddef>
#include <string>

namespace io::file {

// Reads a whole file (or its first byteCount bytes; 0 = all) as bytes.
class FileReader {
public:
    virtual ~FileReader() = default;
    virtual std::string read(const std::string& fileName, std::size_t byteCount) = 0;
};

}  // namespace io::file
