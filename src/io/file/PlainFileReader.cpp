#include "io/file/PlainFileReader.h"

#include "io/file/FileHelper.h"

namespace io::file {

std::string PlainFileReader::read(const std::string& fileName, std::size_t byteCount) {
    return FileHelper::load(fileName, byteCount);
}

}  // namespace io::file
