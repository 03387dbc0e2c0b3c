#include "encryption/simple/XORFileReader.h"

#include "io/file/FileHelper.h"

#include <utility>

namespace encryption::simple {

XORFileReader::XORFileReader(std::string key) : cryptor(std::move(key)) {}

std::string XORFileReader::read(const std::string& fileName, std::size_t /*byteCount*/) {
    return cryptor.crypt(io::file::FileHelper::load(fileName, 0), 0);
}

}  // namespace encryption::simple
