#pragma once

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <ios>
#include <istream>
#include <string>

// Whole-file access for the program's own files.
namespace io::file::FileHelper {

// The largest file the program reads or writes in one piece.
inline constexpr std::size_t MaxFileSize = 2147483647;

// The file's bytes; byteCount 0 reads the whole file.
std::string load(const std::string& fileName, std::size_t byteCount = 0);

// Open mode 0 replaces the file in one step: the bytes go to a new file beside it, which then
// takes the old one's place, so a failure or a crash never leaves a torn file. Other modes
// (appending) write into the file itself.
void save(const std::string& fileName, const std::string& bytes,
          std::ios_base::openmode openMode = std::ios_base::openmode{});

bool exists(const std::string& fileName);

// Opens the file as load does, with its checks and messages; throws CouldNotLoadFileException.
// The stream throws on any later failure.
void openForReading(std::ifstream& in, const std::string& fileName);
// The size of an open file as load finds it, with load's checks and messages.
std::uint64_t sizeForReading(std::ifstream& in, const std::string& fileName);
// Whether the name (with or without its directory) is one that `save` gives the file it
// writes before it takes the place of the real one. A process killed in between leaves such
// a file behind; it never holds anything the program needs.
bool isTemporaryFileName(const std::string& fileName);

std::streamoff getFileSize(std::istream& stream);

// The text of a load or save failure: the description, the file, the working directory, the
// system's text for the last error and the stream's own cause.
std::string composeMessage(const std::string& description, const std::string& fileName,
                           const std::string& cause);

}  // namespace io::file::FileHelper
