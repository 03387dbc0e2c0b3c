#pragma once

#include "io/file/FileWriter.h"

namespace io::file {

// Writes files as they are given.
class PlainFileWriter final : public FileWriter {
public:
    void write(const std::string& fileName, const std::string& bytes,
               std::ios_base::openmode openMode) override;
};

}  // namespace io::file
