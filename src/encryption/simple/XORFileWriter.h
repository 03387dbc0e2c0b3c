#pragma once

#include "encryption/simple/CompiledInKey.h"
#include "encryption/simple/XORCryptor.h"
#include "io/file/FileWriter.h"

#include <string>

namespace encryption::simple {

// Scrambles a text and writes it as a whole file.
class XORFileWriter final : public io::file::FileWriter {
public:
    explicit XORFileWriter(std::string key = CompiledInKey);

    // Always replaces the whole file in one step, so a failed write leaves the previous file
    // readable: appending to a scrambled file would restart the key in the middle of it.
    void write(const std::string& fileName, const std::string& bytes,
               std::ios_base::openmode openMode) override;

private:
    XORCryptor cryptor;
};

}  // namespace encryption::simple
