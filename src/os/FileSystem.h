#pragma once

#include "os/Types.h"

#include <string>

namespace os {

inline constexpr unsigned FileAttributeDirectory = 0x10;
inline constexpr unsigned FileAttributeNormal = 0x80;

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

    // A listing of one directory level. The pattern is a directory, a separator and a mask
    // with the wildcards * and ?. The first entry comes with the handle; "." and ".." are
    // listed like any other entry. An empty match fails with error::FileNotFound, the end of
    // the listing with error::NoMoreFiles.
    virtual FindHandle findFirstFile(const std::string& pattern, FindData& data) = 0;
    virtual bool findNextFile(FindHandle handle, FindData& data) = 0;
    virtual bool findClose(FindHandle handle) = 0;
};

}  // namespace os
