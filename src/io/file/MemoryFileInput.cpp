#include "io/file/MemoryFileInput.h"

#include "io/file/FileExceptions.h"
#include "io/file/FileHelper.h"

#include <cstring>
#include <utility>

namespace io::file {

MemoryFileInput::MemoryFileInput(std::string fileName, std::string fileBytes)
    : name(std::move(fileName)), bytes(std::move(fileBytes)) {}

void MemoryFileInput::read(void* destination, std::size_t count) {
    if (count > remaining()) {
        throw CouldNotLoadFileException(FileHelper::composeMessage(
            "Tried to read a larger number of bytes from a file that it contained. Tried to "
            "read : " +
                std::to_string(position + count) + " File size: " + std::to_string(bytes.size()),
            name, "None."));
    }
    if (count != 0) {
        std::memcpy(destination, bytes.data() + position, count);
    }
    position += count;
}

}  // namespace io::file
