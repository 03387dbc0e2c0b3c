#pragma once

#include <cstddef>
#include <cstdint>

namespace io::file {

// A file opened for reading in pieces, front to back, each piece straight into the memory
// where it is to stay.
class FileInput {
public:
    virtual ~FileInput() = default;
    virtual std::uint64_t size() const = 0;
    // The bytes not read yet.
    virtual std::uint64_t remaining() const = 0;
    // Reads the next count bytes into the destination; throws CouldNotLoadFileException when
    // the file ends first or cannot be read.
    virtual void read(void* destination, std::size_t count) = 0;
};

}  // namespace io::file
