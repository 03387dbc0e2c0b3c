#include "windows/file/WindowsFileHelper.h"

#include "os/ErrorCodes.h"
#include "os/Port.h"
#include "platform/assertion/Assertion.h"
#include "platform/errorresources/SystemErrors.h"
#include "windows/file/WindowsFileException.h"

#include <algorithm>

namespace windows::file::WindowsFileHelper {

namespace {

constexpr unsigned AllAttributes = ~0U;

std::string lastErrorText() {
    return platform::errorresources::SystemErrors::map(os::errors().lastError());
}

std::vector<std::string> findFiles(const std::string& initialDirectory, const std::string& fileMask,
                                   unsigned attributeMask,
                                   const std::vector<std::string>& namesToSkip,
                                   bool excludeDirectories) {
    PX_ASSERT(initialDirectory != "");
    const char separator = os::fileSystem().separator();
    std::string directory = initialDirectory;
    if (directory.empty() || directory.back() != separator) {
        directory += separator;
    }
    const std::string mask = directory + fileMask;
    PX_ASSERT(mask.size() <= MAX_PATH);

    std::vector<std::string> found;
    os::FindData data;
    const os::FindHandle search = os::fileSystem().findFirstFile(mask, data);
    if (search == 0) {
        if (os::errors().lastError() == os::error::FileNotFound) {
            return found;
        }
        throw CouldNotFindFilesException(
            "Error when trying to get first level directories. \nThe error occured when opening "
            "a find file handle. Initial directory: " +
            directory + "\n\n" + lastErrorText());
    }
    while (true) {
        const bool skipped =
            std::find(namesToSkip.begin(), namesToSkip.end(), data.name) != namesToSkip.end();
        const bool isDirectory = (data.attributes & os::FileAttributeDirectory) != 0;
        if ((data.attributes & attributeMask) != 0 && !skipped &&
            !(excludeDirectories && isDirectory)) {
            found.push_back(directory + data.name);
        }
        if (!os::fileSystem().findNextFile(search, data)) {
            const int errorCode = os::errors().lastError();
            os::fileSystem().findClose(search);
            if (errorCode == os::error::NoMoreFiles) {
                return found;
            }
            os::errors().setLastError(errorCode);
            throw CouldNotFindFilesException(
                "Error when trying to get first level directories. \nThe error occured when "
                "getting the next file. Initial directory: " +
                directory + "\n\n" + lastErrorText());
        }
    }
}

}  // namespace

std::string getModuleFileName() {
    std::string path;
    if (!os::fileSystem().getModuleFileName(path)) {
        throw CouldNotGetModuleFileNameException(
            "Could not get the module filename for the current process: " + lastErrorText());
    }
    return path;
}

std::string getCurrentDirectory() {
    std::string path;
    if (!os::fileSystem().getCurrentDirectory(path)) {
        throw CouldNotGetCurrentDirectoryException("Couldn't get the current directory.\n " +
                                                   lastErrorText());
    }
    return path + os::fileSystem().separator();
}

void setCurrentDirectory(const std::string& path) {
    if (!os::fileSystem().setCurrentDirectory(path)) {
        throw CouldNotSetCurrentDirectoryException("Could not set the directory, " + path +
                                                   ", to the current directory. " +
                                                   lastErrorText());
    }
}

void createDirectory(const std::string& path) {
    if (!os::fileSystem().createDirectory(path) &&
        os::errors().lastError() != os::error::AlreadyExists) {
        throw CouldNotCreateDirectoryException("Could not create the directory: " + path + ". " +
                                               lastErrorText());
    }
}

void deleteDirectory(const std::string& path) {
    if (!os::fileSystem().removeDirectory(path)) {
        throw CouldNotDeleteDirectoryException("Could not delete the directory: " + path + ". " +
                                               lastErrorText());
    }
}

void deleteFile(const std::string& path) {
    if (!os::fileSystem().deleteFile(path)) {
        throw CouldNotDeleteFileException("Couldn't delete the file: " + path + "\n" +
                                          lastErrorText());
    }
}

std::vector<std::string> getFirstLevelDirectories(const std::string& directory) {
    try {
        return findFiles(directory, "*", os::FileAttributeDirectory, {".", ".."}, false);
    } catch (const CouldNotFindFilesException& e) {
        throw CouldNotGetFirstLevelDirectoriesException(e.getMessage());
    }
}

std::vector<std::string> getFirstLevelFiles(const std::string& directory, const std::string& mask) {
    try {
        return findFiles(directory, mask, AllAttributes, {}, true);
    } catch (const CouldNotFindFilesException& e) {
        throw CouldNotGetFirstLevelFilesException(e.getMessage());
    }
}

void deleteFiles(const std::string& directory) {
    for (const std::string& file : getFirstLevelFiles(directory, "*.*")) {
        deleteFile(file);
    }
}

}  // namespace windows::file::WindowsFileHelper
