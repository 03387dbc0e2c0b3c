#pragma once

#include "os/FileSystem.h"
#include "os/common/FindListings.h"

#include <string>
#include <vector>

namespace os::win32 {

// The Windows file system through its ANSI calls. Listings are read whole and come sorted by
// name (common::FindListings): FAT and network shares list in no particular order.
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
    common::FindListings listings_;
};

}  // namespace os::win32
