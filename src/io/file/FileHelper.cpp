#include "io/file/FileHelper.h"

#include "io/file/FileExceptions.h"
#include "os/ErrorCodes.h"
#include "os/Port.h"
#include "platform/assertion/Assertion.h"
#include "platform/errorresources/SystemErrors.h"
#include "windows/file/WindowsFileException.h"
#include "windows/file/WindowsFileHelper.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>

namespace io::file::FileHelper {

namespace {

const char* const noCause = "None.";

[[noreturn]] void failLoad(const std::string& description, const std::string& fileName,
                           const std::string& cause) {
    throw CouldNotLoadFileException(composeMessage(description, fileName, cause));
}

[[noreturn]] void failSave(const std::string& description, const std::string& fileName,
                           const std::string& cause) {
    throw CouldNotSaveFileException(composeMessage(description, fileName, cause));
}

bool isDirectory(const std::string& fileName) {
    std::error_code ignored;
    return std::filesystem::is_directory(fileName, ignored);
}

// The suffix a temporary file adds to the real name: a dot, eight hexadecimal digits and a
// tilde. It ends in neither ".pxf" nor ".ckf", so a listing of slot or Cool Key files never
// takes one in.
constexpr std::size_t TemporarySuffixLength = 10;

std::string temporaryNameFor(const std::string& fileName) {
    static std::mt19937 generator{std::random_device{}()};
    char suffix[16];
    std::snprintf(suffix, sizeof suffix, ".%08x~", static_cast<unsigned>(generator()));
    return fileName + suffix;
}

// Removes a temporary file without disturbing the last error that explains the failure.
void discard(const std::string& temporary) {
    const int errorCode = os::errors().lastError();
    std::remove(temporary.c_str());
    os::errors().setLastError(errorCode);
}

// Stream failures are checked where they happen rather than thrown: unwinding the first
// exception of a Windows process resets the thread's last error, which says why it failed.
std::string streamCause() {
    return std::make_error_code(std::io_errc::stream).message();
}

// Writes the bytes to `path`; failures name `fileName`, the file the caller asked for, and
// remove `path` first when it is a temporary file.
void writeStream(const std::string& path, const std::string& fileName, const std::string& bytes,
                 std::ios_base::openmode openMode, bool temporary) {
    std::ofstream out;
    out.open(path, std::ios::out | std::ios::binary | openMode);
    if (!out.is_open()) {
        failSave("An error occured when trying to open the file for writing.", fileName,
                 streamCause());
    }
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (out.fail()) {
        if (temporary) {
            discard(path);
        }
        failSave("An error occured when trying to write the file.", fileName, streamCause());
    }
}

}  // namespace

std::string composeMessage(const std::string& description, const std::string& fileName,
                           const std::string& cause) {
    const int errorCode = os::errors().lastError();
    std::string currentDirectory;
    try {
        currentDirectory = windows::file::WindowsFileHelper::getCurrentDirectory();
    } catch (const windows::file::CouldNotGetCurrentDirectoryException& e) {
        currentDirectory = "Couldn't get the current directory. Exception: " + e.getMessage();
    }
    return description + "\nFilename: '" + fileName + "'" +
           "\nCurrent Working Directory: " + currentDirectory + "\n" +
           platform::errorresources::SystemErrors::map(errorCode) + "\nC++ exception: " + cause;
}

std::streamoff getFileSize(std::istream& stream) {
    stream.seekg(0, std::ios::end);
    const std::streamoff sz = stream.tellg();
    PX_ASSERT(sz >= 0);
    stream.seekg(0, std::ios::beg);
    return sz;
}

void openForReading(std::ifstream& in, const std::string& fileName) {
    in.open(fileName, std::ios::in | std::ios::binary);
    if (!in.is_open()) {
        failLoad("An error occured when trying to open the file for reading.", fileName,
                 streamCause());
    }
    // A directory opens as a stream on some systems but is never a file to load.
    if (isDirectory(fileName)) {
        in.close();
        os::errors().setLastError(os::error::AccessDenied);
        failLoad("An error occured when trying to open the file for reading.", fileName, noCause);
    }
    in.exceptions(std::ios::badbit | std::ios::failbit | std::ios::eofbit);
}

std::uint64_t sizeForReading(std::ifstream& in, const std::string& fileName) {
    std::streamoff size = 0;
    try {
        size = getFileSize(in);
    } catch (const std::ios_base::failure& e) {
        failLoad("An error occured while trying to get the size of the file.", fileName, e.what());
    }
    return static_cast<std::uint64_t>(size < 0 ? 0 : size);
}

std::string load(const std::string& fileName, std::size_t byteCount) {
    try {
        std::ifstream in;
        openForReading(in, fileName);

        const std::uint64_t fileSize = sizeForReading(in, fileName);
        if (byteCount > fileSize) {
            failLoad(
                "Tried to read a larger number of bytes from a file that it contained. Tried "
                "to read : " +
                    std::to_string(byteCount) + " File size: " + std::to_string(fileSize),
                fileName, noCause);
        }
        const std::uint64_t toRead = byteCount != 0 ? byteCount : fileSize;
        if (toRead > MaxFileSize) {
            failLoad(
                "Could not load the file because the file size was too big. The file size "
                "is " +
                    std::to_string(toRead) + ". The file cannot be bigger than " +
                    std::to_string(MaxFileSize) + " bytes.",
                fileName, noCause);
        }
        std::string bytes(static_cast<std::size_t>(toRead), '\0');
        try {
            in.read(bytes.data(), static_cast<std::streamsize>(toRead));
        } catch (const std::ios_base::failure& e) {
            failLoad("An error occured while trying to load the file.", fileName, e.what());
        }
        return bytes;
    } catch (const CouldNotLoadFileException&) {
        throw;
    } catch (...) {
        PX_ASSERT(false);
        throw;
    }
}

void save(const std::string& fileName, const std::string& bytes, std::ios_base::openmode openMode) {
    if (bytes.size() > MaxFileSize) {
        failSave("Could not save the file because the data size was too big. The data size is " +
                     std::to_string(bytes.size()) + ". The data cannot be bigger than " +
                     std::to_string(MaxFileSize) + " bytes.",
                 fileName, noCause);
    }
    const bool replaceWhole = (openMode & ~std::ios::trunc) == std::ios_base::openmode{};
    try {
        if (!replaceWhole) {
            writeStream(fileName, fileName, bytes, openMode, false);
            return;
        }
        if (isDirectory(fileName)) {
            os::errors().setLastError(os::error::AccessDenied);
            failSave("An error occured when trying to open the file for writing.", fileName,
                     noCause);
        }
        const std::string temporary = temporaryNameFor(fileName);
        writeStream(temporary, fileName, bytes, std::ios::trunc, true);
        if (!os::fileSystem().replaceFile(temporary, fileName)) {
            discard(temporary);
            failSave("An error occured when trying to write the file.", fileName, noCause);
        }
    } catch (const CouldNotSaveFileException&) {
        throw;
    } catch (...) {
        PX_ASSERT(false);
        throw;
    }
}

bool isTemporaryFileName(const std::string& fileName) {
    const std::size_t size = fileName.size();
    // The real name before the suffix is never empty.
    if (size <= TemporarySuffixLength || fileName[size - 1] != '~' ||
        fileName[size - TemporarySuffixLength] != '.') {
        return false;
    }
    const std::string digits = fileName.substr(size - TemporarySuffixLength + 1, 8);
    return std::all_of(digits.begin(), digits.end(),
                       [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); });
}

bool exists(const std::string& fileName) {
    try {
        std::ifstream in;
        openForReading(in, fileName);
        return true;
    } catch (const CouldNotLoadFileException&) {
        return false;
    }
}

}  // namespace io::file::FileHelper
