#include "encryption/simple/XORFileWriter.h"

#include "io/file/FileHelper.h"

#include <utility>

namespace encryption::simple {

XORFileWriter::XORFileWriter(std::string key) : cryptor(std::move(key)) {}

void XORFileWriter::write(const std::string& fileName, const std::string& bytes,
                          std::ios_base::openmode /*openMode*/) {
    io::file::FileHelper::save(fileName, cryptor.crypt(bytes, 0), std::ios_base::openmode{});
}

}  // namespace encryption::simple
