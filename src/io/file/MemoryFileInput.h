#pragma once

#include "io/file/FileInput.h"

#include <string>

namespace io::file {

// The bytes of a file that was read whole (for readers that can only read files whole, such
// as the ones that unscramble them), handed out in pieces.
class MemoryFileInput final : public FileInput {
public:
    MemoryFileInput(std::string fileName, std::string fileBytes);

    std::uint64_t size() const override { return bytes.size(); }
    std::uint64_t remaining() const override { return bytes.size() - position; }
    void read(void* destination, std::size_t count) override;

private:
    std::string name;
    std::string bytes;
    std::size_t position = 0;
};

}  // namespace io::file
