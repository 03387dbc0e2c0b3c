#pragma once

#include "io/file/FileInput.h"

#include <fstream>
#include <string>

namespace io::file {

// A file on disk read in pieces without a buffer in between: each read goes from the system
// straight into the caller's memory.
class PlainFileInput final : public FileInput {
public:
    // Throws CouldNotLoadFileException with the texts of FileHelper::load.
    explicit PlainFileInput(const std::string& fileName);

    std::uint64_t size() const override { return fileSize; }
    std::uint64_t remaining() const override { return fileSize - position; }
    void read(void* destination, std::size_t count) override;

private:
    std::string name;
    std::ifstream in;
    std::uint64_t fileSize = 0;
    std::uint64_t position = 0;
};

}  // namespace io::file
