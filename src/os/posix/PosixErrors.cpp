#include "os/posix/PosixErrors.h"

#include "os/ErrorCodes.h"

#include <cerrno>
#include <cstring>
#include <iterator>

namespace os::posix {

namespace {

struct Translation {
    int code;
    int nativeCode;
};

// The first pair that names a code gives the native value it is stored as.
constexpr Translation translations[] = {
    {error::FileNotFound, ENOENT},
    {error::Directory, ENOTDIR},
    {error::TooManyOpenFiles, EMFILE},
    {error::AccessDenied, EACCES},
    {error::AccessDenied, EPERM},
    {error::NotEnoughMemory, ENOMEM},
    {error::WriteProtect, EROFS},
    {error::InvalidParameter, EINVAL},
    {error::BrokenPipe, EPIPE},
    {error::DiskFull, ENOSPC},
    {error::DirNotEmpty, ENOTEMPTY},
    {error::AlreadyExists, EEXIST},
    {error::FilenameTooLong, ENAMETOOLONG},
    {error::Timeout, ETIMEDOUT},
    {error::BusyDrive, EBUSY},
    {error::NotSupported, ENOTSUP},
};

struct OwnText {
    int code;
    const char* text;
};

// Outcomes the program names that have no errno of their own.
constexpr OwnText ownTexts[] = {
    {error::Success, "The operation completed successfully."},
    {error::PathNotFound, "The system cannot find the path specified."},
    {error::InvalidHandle, "The handle is invalid."},
    {error::InvalidData, "The data is invalid."},
    {error::OutOfMemory, "Not enough memory resources are available to complete this operation."},
    {error::NoMoreFiles, "There are no more files."},
    {error::SharingViolation,
     "The process cannot access the file because it is being used by another process."},
    {error::FileExists, "The file exists."},
    {error::InvalidName, "The filename, directory name, or volume label syntax is incorrect."},
    {error::ModNotFound, "The specified module could not be found."},
    {error::ProcNotFound, "The specified procedure could not be found."},
    {error::NotLocked, "The segment is already unlocked."},
    {error::InvalidWindowHandle, "Invalid window handle."},
    {error::ClassAlreadyExists, "Class already exists."},
    {error::ClassDoesNotExist, "Class does not exist."},
    {error::ClipboardNotOpen, "Thread does not have a clipboard open."},
    {error::ControlIdNotFound, "Control ID not found."},
    {error::NoAssociation,
     "No application is associated with the specified file for this operation."},
    {error::InvalidHookHandle, "Invalid hook handle."},
    {error::InvalidHookFilter, "Invalid hook procedure type."},
    {error::InvalidFilterProc, "Invalid hook procedure."},
    {error::HookNeedsHmod, "Cannot set nonlocal hook without a module handle."},
    {error::MoreData, "More data is available."},
    {error::NoMoreItems, "No more data is available."},
};

std::optional<std::string> nativeText(int nativeCode) {
    char buffer[256];
    const char* text = strerror_r(nativeCode, buffer, sizeof buffer);
    if (text == nullptr || std::strncmp(text, "Unknown error", 13) == 0) {
        return std::nullopt;
    }
    return std::string(text) + "\n";
}

// The words of the thread's last failure, for the code it was set with.
struct OccurrenceText {
    int code = error::Success;
    std::string text;
};

thread_local OccurrenceText occurrence;

}  // namespace

int PosixErrors::fromErrno(int nativeCode) {
    if (nativeCode == 0) {
        return error::Success;
    }
    if (nativeCode < 0) {
        // A code without a native counterpart, stored by setLastError.
        return -nativeCode;
    }
    for (const Translation& t : translations) {
        if (t.nativeCode == nativeCode) {
            return t.code;
        }
    }
    return error::NativeCodeBit | nativeCode;
}

int PosixErrors::lastError() const {
    return fromErrno(errno);
}

void PosixErrors::setLastErrorWithText(int code, const std::string& text) {
    setLastError(code);
    occurrence.code = code;
    occurrence.text = text;
}

void PosixErrors::setLastError(int code) {
    occurrence.code = error::Success;
    if (code == error::Success) {
        errno = 0;
        return;
    }
    if ((code & error::NativeCodeBit) != 0 && code > 0) {
        errno = code & ~error::NativeCodeBit;
        return;
    }
    for (const Translation& t : translations) {
        if (t.code == code) {
            errno = t.nativeCode;
            return;
        }
    }
    errno = -code;
}

std::optional<std::string> PosixErrors::messageText(int code) const {
    if (code != error::Success && code == occurrence.code && !occurrence.text.empty()) {
        return occurrence.text + "\n";
    }
    if (code > 0 && (code & error::NativeCodeBit) != 0) {
        return nativeText(code & ~error::NativeCodeBit);
    }
    for (const Translation& t : translations) {
        if (t.code == code) {
            return nativeText(t.nativeCode);
        }
    }
    for (const OwnText& own : ownTexts) {
        if (own.code == code) {
            return std::string(own.text) + "\n";
        }
    }
    return std::nullopt;
}

}  // namespace os::posix
