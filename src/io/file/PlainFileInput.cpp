#include "io/file/PlainFileInput.h"

#include "io/file/FileExceptions.h"
#include "io/file/FileHelper.h"

namespace io::file {

namespace {

const char* const noCause = "None.";

}  // namespace

PlainFileInput::PlainFileInput(const std::string& fileName) : name(fileName) {
    // No buffer: large pieces then go from the system into their place in one copy.
    in.rdbuf()->pubsetbuf(nullptr, 0);
    FileHelper::openForReading(in, fileName);
    fileSize = FileHelper::sizeForReading(in, fileName);
    if (fileSize > FileHelper::MaxFileSize) {
        throw CouldNotLoadFileException(FileHelper::composeMessage(
            "Could not load the file because the file size was too big. The file size is " +
                std::to_string(fileSize) + ". The file cannot be bigger than " +
                std::to_string(FileHelper::MaxFileSize) + " bytes.",
            fileName, noCause));
    }
}

void PlainFileInput::read(void* destination, std::size_t count) {
    if (count > remaining()) {
        throw CouldNotLoadFileException(FileHelper::composeMessage(
            "Tried to read a larger number of bytes from a file that it contained. Tried to "
            "read : " +
                std::to_string(position + count) + " File size: " + std::to_string(fileSize),
            name, noCause));
    }
    try {
        in.read(static_cast<char*>(destination), static_cast<std::streamsize>(count));
    } catch (const std::ios_base::failure& e) {
        throw CouldNotLoadFileException(FileHelper::composeMessage(
            "An error occured while trying to load the file.", name, e.what()));
    }
    position += count;
}

}  // namespace io::file
