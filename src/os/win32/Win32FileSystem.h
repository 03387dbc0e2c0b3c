#pragma once

#include "os/FileSystem.h"

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace os::win32 {

// The Windows file system through its ANSI calls. Listings are read whole and come sorted
// by name, as on the other platforms, so a workspace loads in the same order on every
// machine and file system (FAT and network shares list in no particular order).
class Win32FileSystem final : public FileSystem {
public:
    Win32FileSystem();
    ~Win32FileSystem() override;

    char separator() const override { return '\\'; }
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

    // The attributes the program tells apart, from the system's attribute bits.
    static unsigned attributesOf(unsigned long systemAttributes);

private:
    struct Search {
        std::vector<FindData> entries;
        std::size_t next = 0;
    };

    std::mutex mutex_;
    std::map<FindHandle, std::unique_ptr<Search>> searches_;
    FindHandle nextHandle_ = 1;
};

}  // namespace os::win32
