#pragma once

#include "io/file/FileInput.h"
#include "io/file/MemoryFileInput.h"

#include <cstddef>
#include <memory>
#include <string>

namespace io::file {

// Reads a whole file (or its first byteCount bytes; 0 = all) as bytes.
class FileReader {
public:
    virtual ~FileReader() = default;
    virtual std::string read(const std::string& fileName, std::size_t byteCount) = 0;
    // The file for reading in pieces. Readers that can only read a file whole hand out the
    // pieces of what read returns.
    virtual std::unique_ptr<FileInput> open(const std::string& fileName) {
        return std::make_unique<MemoryFileInput>(fileName, read(fileName, 0));
    }
};

}  // namespace io::file
