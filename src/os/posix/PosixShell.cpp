#include "os/posix/PosixShell.h"

#include "os/ErrorCodes.h"
#include "os/posix/PosixErrors.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cwchar>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>
#include <vector>

extern char** environ;

namespace os::posix {

namespace {

bool isExecutableFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
           ::access(path.c_str(), X_OK) == 0;
}

bool isSchemeCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '+' ||
           c == '-' || c == '.';
}

// Reads the whole of a short message from the pipe, retrying interrupted reads.
ssize_t readAll(int fd, void* buffer, std::size_t size) {
    ssize_t got = 0;
    while (static_cast<std::size_t>(got) < size) {
        const ssize_t n = ::read(fd, static_cast<char*>(buffer) + got, size - got);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            break;
        }
        got += n;
    }
    return got;
}

// Runs in the forked child: only calls that are safe between fork and exec.
[[noreturn]] void startDetached(const char* path, char* const argv[], int reportFd) {
    const pid_t grandchild = ::fork();
    if (grandchild < 0) {
        const int cause = errno;
        (void)!::write(reportFd, &cause, sizeof cause);
        ::_exit(1);
    }
    if (grandchild > 0) {
        // The opener is handed to init, so nobody has to wait for it.
        ::_exit(0);
    }
    ::setsid();
    sigset_t none;
    ::sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    ::signal(SIGPIPE, SIG_DFL);
    ::signal(SIGCHLD, SIG_DFL);
    const int devNull = ::open("/dev/null", O_RDONLY);
    if (devNull >= 0) {
        ::dup2(devNull, STDIN_FILENO);
        if (devNull != STDIN_FILENO) {
            ::close(devNull);
        }
    }
    ::execve(path, argv, environ);
    const int cause = errno;
    (void)!::write(reportFd, &cause, sizeof cause);
    ::_exit(127);
}

}  // namespace

PosixShell::PosixShell(Errors& errors, std::string opener)
    : errors_(errors), opener_(std::move(opener)) {}

bool PosixShell::isAddress(const std::string& target) {
    const std::size_t colon = target.find(':');
    // One letter before the colon is a drive, not a scheme.
    if (colon == std::string::npos || colon < 2) {
        return false;
    }
    const char first = target[0];
    if (!((first >= 'a' && first <= 'z') || (first >= 'A' && first <= 'Z'))) {
        return false;
    }
    for (std::size_t i = 1; i < colon; ++i) {
        if (!isSchemeCharacter(target[i])) {
            return false;
        }
    }
    return true;
}

std::string PosixShell::findOpener() const {
    if (opener_.find('/') != std::string::npos) {
        return isExecutableFile(opener_) ? opener_ : std::string();
    }
    const char* pathVariable = std::getenv("PATH");
    const std::string searchPath =
        pathVariable != nullptr ? pathVariable : "/usr/local/bin:/usr/bin:/bin";
    std::size_t begin = 0;
    while (begin <= searchPath.size()) {
        std::size_t end = searchPath.find(':', begin);
        if (end == std::string::npos) {
            end = searchPath.size();
        }
        // An empty entry stands for the current directory.
        const std::string directory =
            end == begin ? std::string(".") : searchPath.substr(begin, end - begin);
        const std::string candidate = directory + "/" + opener_;
        if (isExecutableFile(candidate)) {
            return candidate;
        }
        begin = end + 1;
    }
    return std::string();
}

int PosixShell::open(const std::string& target) const {
    if (target.empty()) {
        return error::FileNotFound;
    }
    std::string argument = target;
    if (!isAddress(target)) {
        // A document that is not there is the shell's "file not found", found before any
        // application is started.
        if (::access(target.c_str(), F_OK) != 0) {
            return PosixErrors::fromErrno(errno);
        }
        // A name that starts with a dash would be read as an option of the opener.
        if (argument[0] == '-') {
            argument = "./" + argument;
        }
    }
    const std::string path = findOpener();
    if (path.empty()) {
        return error::NoAssociation;
    }
    std::vector<char> pathBuffer(path.begin(), path.end());
    pathBuffer.push_back('\0');
    std::vector<char> argumentBuffer(argument.begin(), argument.end());
    argumentBuffer.push_back('\0');
    char* const argv[] = {pathBuffer.data(), argumentBuffer.data(), nullptr};

    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0) {
        return PosixErrors::fromErrno(errno);
    }
    const pid_t child = ::fork();
    if (child < 0) {
        const int cause = errno;
        ::close(report[0]);
        ::close(report[1]);
        return PosixErrors::fromErrno(cause);
    }
    if (child == 0) {
        ::close(report[0]);
        startDetached(pathBuffer.data(), argv, report[1]);
    }
    ::close(report[1]);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    // The report pipe closes without a word when the opener was started; otherwise it
    // carries the reason it could not be.
    int cause = 0;
    const ssize_t got = readAll(report[0], &cause, sizeof cause);
    ::close(report[0]);
    if (got == static_cast<ssize_t>(sizeof cause)) {
        return PosixErrors::fromErrno(cause);
    }
    return error::Success;
}

std::intptr_t PosixShell::shellExecute(WindowHandle /*owner*/, const std::string& operation,
                                       const std::string& file, int /*showCommand*/) {
    if (!operation.empty() && operation != "open") {
        // The desktop opener knows only how to open.
        errors_.setLastError(error::NoAssociation);
        return SeErrNoAssociation;
    }
    const int code = open(file);
    errors_.setLastError(code);
    if (code == error::Success) {
        return ShellExecuteFailureLimit + 10;
    }
    return code > 0 && code <= ShellExecuteFailureLimit ? code : SeErrNoAssociation;
}

long PosixShell::navigate(const std::wstring& address) {
    std::string narrow;
    std::mbstate_t state{};
    char buffer[MB_LEN_MAX];
    for (const wchar_t c : address) {
        const std::size_t used = std::wcrtomb(buffer, c, &state);
        if (used == static_cast<std::size_t>(-1)) {
            errors_.setLastError(error::InvalidParameter);
            return EFail;
        }
        narrow.append(buffer, used);
    }
    const int code = open(narrow);
    errors_.setLastError(code);
    return code == error::Success ? SOk : EFail;
}

}  // namespace os::posix
