#pragma once

#include <ios>
#include <string>

namespace io::file {

// Writes bytes as a whole file; open mode 0 creates the file or replaces its content.
class FileWriter {
public:
    virtual ~FileWriter() = default;
    virtual void write(const std::string& fileName, const std::string& bytes,
                       std::ios_base::openmode openMode) = 0;
};

}  // namespace io::file
