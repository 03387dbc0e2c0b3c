#pragma once

#include "os/Errors.h"
#include "os/FileSystem.h"
#include "os/common/FindListings.h"

#include <string>
#include <vector>

namespace os::posix {

// The POSIX file system. Listings come sorted by name (common::FindListings).
class PosixFileSystem final : public FileSystem {
public:
    explicit PosixFileSystem(Errors& errors);
    ~PosixFileSystem() override;

    char separator() const override { return '/'; }
    bool getModuleFileName(std::string& path) const override;
    bool getCurrentDirectory(std::string& path) const override;
    bool setCurrentDirectory(const std::string& path) override;
    bool createDirectory(const std::string& path) override;
    bool removeDirectory(const std::string& path) override;
    bool deleteFile(const std::string& path) override;
    bool replaceFile(const std::string& source, const std::string& target) override;
    bool getFileInformation(const std::string& path, FileInformation& info) const override;
    bool getFinalPathName(const std::string& path, std::string& resolved) const override;
    FindHandle findFirstFile(const std::string& pattern, FindData& data) override;
    bool findNextFile(FindHandle handle, FindData& data) override;
    bool findClose(FindHandle handle) override;

    // Wildcard match of a listing mask: * is any run of characters, ? any one character,
    // and "*.*" matches every name, dotted or not.
    static bool matchesMask(const std::string& name, const std::string& mask);

private:
    bool fail(int code) const;

    Errors& errors_;
    common::FindListings listings_;
};

}  // namespace os::posix
