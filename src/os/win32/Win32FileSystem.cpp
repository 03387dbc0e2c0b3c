#include "os/win32/Win32FileSystem.h"

#include <chrono>
#include <cstdint>
#include <ratio>
#include <windows.h>

namespace os::win32 {

namespace {

// Paths longer than MAX_PATH fail with the system's own error rather than being cut.
bool takeBuffer(DWORD length, DWORD capacity, const char* buffer, std::string& out) {
    if (length == 0) {
        return false;
    }
    if (length >= capacity) {
        ::SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return false;
    }
    out.assign(buffer, length);
    return true;
}

bool fail(DWORD code) {
    ::SetLastError(code);
    return false;
}

}  // namespace

Win32FileSystem::Win32FileSystem() = default;

Win32FileSystem::~Win32FileSystem() = default;

unsigned Win32FileSystem::attributesOf(unsigned long systemAttributes) {
    unsigned attributes = 0;
    if ((systemAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        attributes |= FileAttributeReparsePoint;
    }
    if ((systemAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        attributes |= FileAttributeDirectory;
    } else if ((systemAttributes & FILE_ATTRIBUTE_DEVICE) != 0) {
        attributes |= FileAttributeDevice;
    } else if ((attributes & FileAttributeReparsePoint) == 0) {
        attributes |= FileAttributeNormal;
    }
    return attributes;
}

bool Win32FileSystem::getModuleFileName(std::string& path) const {
    char buffer[MAX_PATH];
    const DWORD length = ::GetModuleFileNameA(nullptr, buffer, sizeof buffer);
    // A name that does not fit comes back cut, with the whole buffer used.
    return takeBuffer(length, sizeof buffer, buffer, path);
}

bool Win32FileSystem::getCurrentDirectory(std::string& path) const {
    char buffer[MAX_PATH];
    const DWORD length = ::GetCurrentDirectoryA(sizeof buffer, buffer);
    return takeBuffer(length, sizeof buffer, buffer, path);
}

bool Win32FileSystem::setCurrentDirectory(const std::string& path) {
    return ::SetCurrentDirectoryA(path.c_str()) != FALSE;
}

bool Win32FileSystem::createDirectory(const std::string& path) {
    return ::CreateDirectoryA(path.c_str(), nullptr) != FALSE;
}

bool Win32FileSystem::removeDirectory(const std::string& path) {
    return ::RemoveDirectoryA(path.c_str()) != FALSE;
}

bool Win32FileSystem::deleteFile(const std::string& path) {
    return ::DeleteFileA(path.c_str()) != FALSE;
}

bool Win32FileSystem::replaceFile(const std::string& source, const std::string& target) {
    // The new content reaches the disk before the name moves, so a crash leaves one of the
    // two complete files under the target's name.
    const HANDLE file = ::CreateFileA(source.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    const BOOL flushed = ::FlushFileBuffers(file);
    const DWORD flushError = ::GetLastError();
    ::CloseHandle(file);
    if (!flushed) {
        return fail(flushError);
    }
    if (!::MoveFileExA(source.c_str(), target.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return false;
    }
    ::SetLastError(ERROR_SUCCESS);
    return true;
}

bool Win32FileSystem::getFileInformation(const std::string& path, FileInformation& info) const {
    // The attribute query reads the directory entry: it neither opens the file nor follows
    // a link.
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) {
        return false;
    }
    info.attributes = attributesOf(data.dwFileAttributes);
    info.size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    // FILETIME counts 100 ns steps since 1601; the system clock counts from 1970.
    constexpr std::int64_t StepsFrom1601To1970 = 116444736000000000LL;
    const auto steps = static_cast<std::int64_t>(
        (static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
        data.ftLastWriteTime.dwLowDateTime);
    using Step = std::chrono::duration<std::int64_t, std::ratio<1, 10000000>>;
    info.lastWrite = std::chrono::system_clock::time_point(
        std::chrono::duration_cast<std::chrono::system_clock::duration>(
            Step(steps - StepsFrom1601To1970)));
    return true;
}

bool Win32FileSystem::getFinalPathName(const std::string& path, std::string& resolved) const {
    // Opening with backup semantics reaches directories too; the handle only reads names.
    const HANDLE file =
        ::CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    char buffer[MAX_PATH + 8];
    const DWORD length =
        ::GetFinalPathNameByHandleA(file, buffer, sizeof buffer, FILE_NAME_NORMALIZED);
    const DWORD error = ::GetLastError();
    ::CloseHandle(file);
    if (length == 0) {
        return fail(error);
    }
    if (length >= sizeof buffer) {
        return fail(ERROR_FILENAME_EXCED_RANGE);
    }
    std::string name(buffer, length);
    // The system answers in its \\?\ form; the program works with plain drive paths.
    if (name.rfind("\\\\?\\UNC\\", 0) == 0) {
        name = "\\" + name.substr(7);
    } else if (name.rfind("\\\\?\\", 0) == 0) {
        name = name.substr(4);
    }
    resolved = name;
    return true;
}

FindHandle Win32FileSystem::findFirstFile(const std::string& pattern, FindData& data) {
    WIN32_FIND_DATAA found{};
    const HANDLE find = ::FindFirstFileA(pattern.c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) {
        return 0;
    }
    std::vector<FindData> entries;
    DWORD error = ERROR_SUCCESS;
    for (;;) {
        entries.push_back(FindData{found.cFileName, attributesOf(found.dwFileAttributes)});
        if (!::FindNextFileA(find, &found)) {
            error = ::GetLastError();
            break;
        }
    }
    ::FindClose(find);
    if (error != ERROR_NO_MORE_FILES) {
        ::SetLastError(error);
        return 0;
    }
    return listings_.open(std::move(entries), data);
}

bool Win32FileSystem::findNextFile(FindHandle handle, FindData& data) {
    const int code = listings_.next(handle, data);
    return code == ERROR_SUCCESS || fail(static_cast<DWORD>(code));
}

bool Win32FileSystem::findClose(FindHandle handle) {
    const int code = listings_.close(handle);
    return code == ERROR_SUCCESS || fail(static_cast<DWORD>(code));
}

}  // namespace os::win32
