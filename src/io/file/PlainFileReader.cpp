#include "io/file/PlainFileReader.h"

#include "io/file/FileHelper.h"
#include "io/file/PlainFileInput.h"

namespace io::file {

std::string PlainFileReader::read(const std::string& fileName, std::size_t byteCount) {
    return FileHelper::load(fileName, byteCount);
}

std::unique_ptr<FileInput> PlainFileReader::open(const std::string& fileName) {
    return std::make_unique<PlainFileInput>(fileName);
}

}  // namespace io::file
