#include "os/posix/PosixFileSystem.h"

#include "os/ErrorCodes.h"

#include <cerrno>
#include <chrono>
#include <climits>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace os::posix {

namespace {

bool syncPath(const std::string& path, int flags) {
    const int fd = ::open(path.c_str(), flags | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    const bool synced = ::fsync(fd) == 0;
    const int savedErrno = errno;
    ::close(fd);
    errno = savedErrno;
    return synced;
}

std::string parentOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

unsigned attributesOf(mode_t mode) {
    if (S_ISLNK(mode)) {
        return FileAttributeReparsePoint;
    }
    if (S_ISDIR(mode)) {
        return FileAttributeDirectory;
    }
    return S_ISREG(mode) ? FileAttributeNormal : FileAttributeDevice;
}

bool matchFrom(const char* name, const char* mask) {
    // Iterative wildcard match with one backtrack point, linear in practice.
    const char* starMask = nullptr;
    const char* starName = nullptr;
    while (*name != '\0') {
        if (*mask == '*') {
            starMask = ++mask;
            starName = name;
        } else if (*mask == '?' || *mask == *name) {
            ++mask;
            ++name;
        } else if (starMask != nullptr) {
            mask = starMask;
            name = ++starName;
        } else {
            return false;
        }
    }
    while (*mask == '*') {
        ++mask;
    }
    return *mask == '\0';
}

}  // namespace

PosixFileSystem::PosixFileSystem(Errors& errors) : errors_(errors) {}

PosixFileSystem::~PosixFileSystem() = default;

bool PosixFileSystem::fail(int code) const {
    errors_.setLastError(code);
    return false;
}

bool PosixFileSystem::getModuleFileName(std::string& path) const {
    char buffer[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", buffer, sizeof buffer);
    if (length < 0) {
        return false;
    }
    if (static_cast<std::size_t>(length) >= sizeof buffer) {
        return fail(error::FilenameTooLong);
    }
    path.assign(buffer, static_cast<std::size_t>(length));
    return true;
}

bool PosixFileSystem::getCurrentDirectory(std::string& path) const {
    char buffer[PATH_MAX];
    if (::getcwd(buffer, sizeof buffer) == nullptr) {
        return false;
    }
    path = buffer;
    return true;
}

bool PosixFileSystem::setCurrentDirectory(const std::string& path) {
    return ::chdir(path.c_str()) == 0;
}

bool PosixFileSystem::createDirectory(const std::string& path) {
    return ::mkdir(path.c_str(), 0777) == 0;
}

bool PosixFileSystem::removeDirectory(const std::string& path) {
    return ::rmdir(path.c_str()) == 0;
}

bool PosixFileSystem::deleteFile(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
        // Deleting a file never removes a directory.
        return fail(error::AccessDenied);
    }
    return ::unlink(path.c_str()) == 0;
}

bool PosixFileSystem::replaceFile(const std::string& source, const std::string& target) {
    // The data reaches the disk before the name does, and the name before we report success.
    if (!syncPath(source, O_RDONLY)) {
        return false;
    }
    if (::rename(source.c_str(), target.c_str()) != 0) {
        return false;
    }
    syncPath(parentOf(target), O_RDONLY | O_DIRECTORY);
    errors_.setLastError(error::Success);
    return true;
}

bool PosixFileSystem::getFileInformation(const std::string& path, FileInformation& info) const {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) {
        return false;
    }
    info.attributes = attributesOf(st.st_mode);
    info.size = static_cast<std::uint64_t>(st.st_size);
    info.lastWrite = std::chrono::system_clock::time_point(
        std::chrono::duration_cast<std::chrono::system_clock::duration>(
            std::chrono::seconds(st.st_mtim.tv_sec) +
            std::chrono::nanoseconds(st.st_mtim.tv_nsec)));
    return true;
}

bool PosixFileSystem::getFinalPathName(const std::string& path, std::string& resolved) const {
    char buffer[PATH_MAX];
    if (::realpath(path.c_str(), buffer) == nullptr) {
        return false;
    }
    resolved = buffer;
    return true;
}

bool PosixFileSystem::matchesMask(const std::string& name, const std::string& mask) {
    if (mask == "*.*" || mask == "*") {
        return true;
    }
    return matchFrom(name.c_str(), mask.c_str());
}

FindHandle PosixFileSystem::findFirstFile(const std::string& pattern, FindData& data) {
    const std::size_t slash = pattern.rfind('/');
    const std::string directory = slash == std::string::npos ? "." : pattern.substr(0, slash + 1);
    const std::string mask = slash == std::string::npos ? pattern : pattern.substr(slash + 1);

    DIR* dir = ::opendir(directory.c_str());
    if (dir == nullptr) {
        // A missing directory is a bad path, not an empty match.
        if (errno == ENOENT) {
            fail(error::PathNotFound);
        }
        return 0;
    }
    std::vector<FindData> entries;
    const int dirFd = ::dirfd(dir);
    errno = 0;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (!matchesMask(name, mask)) {
            continue;
        }
        // A link is listed as a link, and as a directory too when it leads to one, so that
        // whoever walks the listing can tell it from what it points at.
        struct stat st {};
        unsigned attributes = FileAttributeNormal;
        if (::fstatat(dirFd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0) {
            attributes = attributesOf(st.st_mode);
            if (S_ISLNK(st.st_mode) && ::fstatat(dirFd, entry->d_name, &st, 0) == 0 &&
                S_ISDIR(st.st_mode)) {
                attributes |= FileAttributeDirectory;
            }
        }
        // A dangling link fails the second look; that must not pass for a failed readdir.
        errno = 0;
        entries.push_back(FindData{name, attributes});
    }
    const int readErrno = errno;
    ::closedir(dir);
    if (readErrno != 0) {
        errno = readErrno;
        return 0;
    }
    if (entries.empty()) {
        fail(error::FileNotFound);
        return 0;
    }
    return listings_.open(std::move(entries), data);
}

bool PosixFileSystem::findNextFile(FindHandle handle, FindData& data) {
    const int code = listings_.next(handle, data);
    return code == error::Success || fail(code);
}

bool PosixFileSystem::findClose(FindHandle handle) {
    const int code = listings_.close(handle);
    return code == error::Success || fail(code);
}

}  // namespace os::posix
