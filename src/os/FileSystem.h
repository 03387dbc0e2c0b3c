#pragma once

#include "os/Types.h"

#include <chrono>
#include <cstdint>
#include <string>

namespace os {

inline constexpr unsigned FileAttributeDirectory = 0x10;
inline constexpr unsigned FileAttributeNormal = 0x80;
// Anything that is neither a file nor a directory: a device, a pipe, a socket.
inline constexpr unsigned FileAttributeDevice = 0x40;
// A symbolic link; a link to a directory also carries FileAttributeDirectory in a listing.
inline constexpr unsigned FileAttributeReparsePoint = 0x400;

// What a directory entry is, as the entry itself says: a symbolic link is never followed.
struct FileInformation {
    unsigned attributes = 0;
    std::uint64_t size = 0;
    // When the entry's content was last written.
    std::chrono::system_clock::time_point lastWrite{};
};

struct FindData {
    std::string name;
    unsigned attributes = 0;
};

// Files and directories. Every operation returns false (or a 0 handle) on failure and leaves
// the reason in the thread's last error.
class FileSystem {
public:
    virtual ~FileSystem() = default;

    // The character that separates directories in a path.
    virtual char separator() const = 0;

    virtual bool getModuleFileName(std::string& path) const = 0;
    virtual bool getCurrentDirectory(std::string& path) const = 0;
    virtual bool setCurrentDirectory(const std::string& path) = 0;
    virtual bool createDirectory(const std::string& path) = 0;
    virtual bool removeDirectory(const std::string& path) = 0;
    virtual bool deleteFile(const std::string& path) = 0;
    // Replaces `target` by `source` in one step: afterwards the target holds either its old
    // content or the complete new one, also after a crash.
    virtual bool replaceFile(const std::string& source, const std::string& target) = 0;
    // The entry at the path itself, not what a symbolic link there points at. Opening a file
    // to learn this could block (a pipe) or follow a link, so it must not open the entry.
    virtual bool getFileInformation(const std::string& path, FileInformation& info) const = 0;
    // The existing entry's path with every symbolic link, "." and ".." resolved.
    virtual bool getFinalPathName(const std::string& path, std::string& resolved) const = 0;

    // A listing of one directory level. The pattern is a directory, a separator and a mask
    // with the wildcards * and ?. The first entry comes with the handle; "." and ".." are
    // listed like any other entry. An empty match fails with error::FileNotFound, the end of
    // the listing with error::NoMoreFiles.
    virtual FindHandle findFirstFile(const std::string& pattern, FindData& data) = 0;
    virtual bool findNextFile(FindHandle handle, FindData& data) = 0;
    virtual bool findClose(FindHandle handle) = 0;
};

}  // namespace os
