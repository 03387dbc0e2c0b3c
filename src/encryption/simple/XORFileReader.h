#pragma once

#include "encryption/simple/CompiledInKey.h"
#include "encryption/simple/XORCryptor.h"
#include "io/file/FileReader.h"

#include <string>

namespace encryption::simple {

// Reads a scrambled file whole and hands back the plain bytes.
class XORFileReader final : public io::file::FileReader {
public:
    explicit XORFileReader(std::string key = CompiledInKey);

    // Always reads the whole file: a part of a scrambled text is of no use to anyone.
    std::string read(const std::string& fileName, std::size_t byteCount) override;

private:
    XORCryptor cryptor;
};

}  // namespace encryption::simple
