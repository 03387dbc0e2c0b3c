#include "config/workspace/WorkspaceDirectory.h"

#include "io/file/FileHelper.h"
#include "os/FileSystem.h"
#include "os/Port.h"
#include "platform/errorresources/SystemErrors.h"
#include "windows/file/WindowsFileException.h"
#include "windows/file/WindowsFileHelper.h"

#include <chrono>

namespace products::pastrix::config::workspace::WorkspaceDirectory {

namespace {

namespace files = windows::file::WindowsFileHelper;

std::string withoutTrailingSeparator(std::string path) {
    const char separator = os::fileSystem().separator();
    while (path.size() > 1 && path.back() == separator) {
        path.pop_back();
    }
    return path;
}

bool isPlainFolderName(const std::string& name) {
    // Both separators count: a name is refused for what it would mean on any system.
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of(std::string("/\\\0", 3)) == std::string::npos;
}

std::string describe(unsigned attributes) {
    if ((attributes & os::FileAttributeReparsePoint) != 0) {
        return "a symbolic link";
    }
    if ((attributes & os::FileAttributeDirectory) != 0) {
        return "a folder";
    }
    return "a device, a pipe or a socket";
}

}  // namespace

std::optional<std::string> whyNotAWorkspace(const std::string& baseDirectory,
                                            const std::string& name) {
    if (!isPlainFolderName(name)) {
        return "The workspace name \"" + name + "\" is not the name of one folder inside " +
               baseDirectory + ". A workspace is a folder of its own in the program's folder.";
    }
    os::FileInformation info;
    if (!os::fileSystem().getFileInformation(baseDirectory + name, info)) {
        return std::nullopt;
    }
    std::string base;
    std::string target;
    if (!os::fileSystem().getFinalPathName(withoutTrailingSeparator(baseDirectory), base) ||
        !os::fileSystem().getFinalPathName(baseDirectory + name, target)) {
        // A dangling link or an unreadable folder: opening it fails on its own.
        return std::nullopt;
    }
    const char separator = os::fileSystem().separator();
    const std::size_t last = target.rfind(separator);
    const std::string parent = last == 0 ? std::string(1, separator) : target.substr(0, last);
    if (last == std::string::npos || parent != base) {
        return "The workspace " + name + " leads to " + target + ", which is outside " +
               baseDirectory + ". A workspace is a folder of its own in the program's folder.";
    }
    return std::nullopt;
}

void remove(const std::string& baseDirectory, const std::string& name) {
    const std::string directory = baseDirectory + name;
    if (!isPlainFolderName(name)) {
        throw windows::file::CouldNotDeleteDirectoryException(
            "Could not delete the directory: " + directory + ". " +
            *whyNotAWorkspace(baseDirectory, name));
    }
    os::FileInformation info;
    if (os::fileSystem().getFileInformation(directory, info) &&
        (info.attributes & os::FileAttributeReparsePoint) != 0) {
        // What the link leads to belongs to someone else.
        files::deleteFile(directory);
        return;
    }
    if (const auto reason = whyNotAWorkspace(baseDirectory, name)) {
        throw windows::file::CouldNotDeleteDirectoryException(
            "Could not delete the directory: " + directory + ". " + *reason);
    }
    files::deleteFiles(directory);
    files::deleteDirectory(directory);
}

void removeLeftovers(const std::string& directory) {
    const auto now = std::chrono::system_clock::now();
    for (const std::string& path : files::getFirstLevelFiles(directory, "*~")) {
        os::FileInformation info;
        if (io::file::FileHelper::isTemporaryFileName(path) &&
            os::fileSystem().getFileInformation(path, info) &&
            now - info.lastWrite >= LeftoverAge) {
            os::fileSystem().deleteFile(path);
        }
    }
}

std::optional<std::string> whyNotLoadable(const std::string& path, std::uint64_t largest) {
    os::FileInformation info;
    if (!os::fileSystem().getFileInformation(path, info)) {
        return "The file could not be examined.\n" +
               platform::errorresources::SystemErrors::map(os::errors().lastError());
    }
    if ((info.attributes & (os::FileAttributeReparsePoint | os::FileAttributeDevice |
                            os::FileAttributeDirectory)) != 0) {
        return "The file is " + describe(info.attributes) +
               ", not a plain file; it was left alone.";
    }
    if (info.size > largest) {
        return "The file is " + std::to_string(info.size) +
               " bytes long, more than the largest file of this kind, " + std::to_string(largest) +
               " bytes; it was not read.";
    }
    return std::nullopt;
}

std::uint64_t largestSlotFile(std::uint32_t sizeLimit) {
    if (sizeLimit == 0) {
        return LargestUnlimitedFile;
    }
    return std::uint64_t{sizeLimit} + SlotFileOverhead;
}

}  // namespace products::pastrix::config::workspace::WorkspaceDirectory
