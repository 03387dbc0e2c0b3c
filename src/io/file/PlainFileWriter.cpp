#include "io/file/PlainFileWriter.h"

#include "io/file/FileHelper.h"

namespace io::file {

void PlainFileWriter::write(const std::string& fileName, const std::string& bytes,
                            std::ios_base::openmode openMode) {
    FileHelper::save(fileName, bytes, openMode);
}

}  // namespace io::file
