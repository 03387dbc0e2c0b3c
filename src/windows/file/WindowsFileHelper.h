#pragma once

#include <string>
#include <vector>

// Directories and files through the platform, each failure raised as its own exception.
namespace windows::file::WindowsFileHelper {

// The longest listing pattern (directory and mask) the system accepts.
inline constexpr std::size_t MAX_PATH = 260;

std::string getModuleFileName();
// The current directory with a path separator appended.
std::string getCurrentDirectory();
void setCurrentDirectory(const std::string& path);
// An existing directory counts as created.
void createDirectory(const std::string& path);
void deleteDirectory(const std::string& path);
void deleteFile(const std::string& path);
// Full paths of the subdirectories, without "." and "..".
std::vector<std::string> getFirstLevelDirectories(const std::string& directory);
// Full paths of the files (not directories) whose names match the mask.
std::vector<std::string> getFirstLevelFiles(const std::string& directory, const std::string& mask);
// Deletes every file of the directory; subdirectories stay.
void deleteFiles(const std::string& directory);

}  // namespace windows::file::WindowsFileHelper
