#pragma once

#include "io/file/FileReader.h"

namespace io::file {

// Reads files as they are on disk.
class PlainFileReader final : public FileReader {
public:
    std::string read(const std::string& fileName, std::size_t byteCount) override;
    // Reads straight from the disk into the caller's memory.
    std::unique_ptr<FileInput> open(const std::string& fileName) override;
};

}  // namespace io::file
