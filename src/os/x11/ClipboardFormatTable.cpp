#include "os/x11/ClipboardFormatTable.h"

#include "os/Clipboard.h"
#include "os/ErrorCodes.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace os::x11 {

namespace {

constexpr std::size_t LargestFile = 4 * 1024 * 1024;

std::string upperCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

bool isStorableName(const std::string& name) {
    return !name.empty() && name.find_first_of(std::string("\r\n\0", 3)) == std::string::npos;
}

std::string directoryOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

// mkdir -p, private to the user.
void makeDirectories(const std::string& directory) {
    for (std::size_t at = 1; at <= directory.size(); ++at) {
        if (at == directory.size() || directory[at] == '/') {
            ::mkdir(directory.substr(0, at).c_str(), 0700);
        }
    }
}

// Holds an exclusive lock beside the table while the file is reread and rewritten.
class FileLock {
public:
    explicit FileLock(const std::string& path) {
        if (path.empty()) {
            return;
        }
        makeDirectories(directoryOf(path));
        fd_ = ::open((path + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (fd_ >= 0) {
            while (::flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
            }
        }
    }
    ~FileLock() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

private:
    int fd_ = -1;
};

std::string hex(unsigned id) {
    char text[16];
    std::snprintf(text, sizeof text, "%04X", id);
    return text;
}

}  // namespace

ClipboardFormatTable::ClipboardFormatTable(std::string path)
    : _path(std::move(path)), next_(cf::FirstRegistered) {
    std::lock_guard lock(mutex_);
    FileLock fileLock(_path);
    loadLocked();
}

std::string ClipboardFormatTable::defaultPath() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config != nullptr && config[0] == '/') {
        return std::string(config) + "/pastrix/clipboard-formats";
    }
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] != '\0') {
        return std::string(home) + "/.config/pastrix/clipboard-formats";
    }
    return {};
}

ClipboardFormatTable::Parsed ClipboardFormatTable::parse(const std::string& text) {
    Parsed parsed;
    std::istringstream lines(text);
    std::string line;
    int number = 0;
    const auto damaged = [&](const std::string& why) {
        if (parsed.damage.empty()) {
            parsed.damage = "line " + std::to_string(number) + ": " + why;
        }
    };
    while (std::getline(lines, line)) {
        ++number;
        if (line.empty() || line[0] == '#') {
            continue;
        }
        const std::size_t blank = line.find(' ');
        const std::string idText = line.substr(0, blank);
        char* end = nullptr;
        errno = 0;
        const unsigned long id = std::strtoul(idText.c_str(), &end, 16);
        const bool idParsed = !idText.empty() && *end == '\0' && errno == 0 &&
                              std::isxdigit(static_cast<unsigned char>(idText[0]));
        if (idParsed && id <= cf::LastRegistered) {
            parsed.highest = std::max(parsed.highest, static_cast<unsigned>(id));
        }
        if (!idParsed || blank == std::string::npos) {
            damaged("not an identifier and a name");
            continue;
        }
        if (id < cf::FirstRegistered || id > cf::LastRegistered) {
            damaged("identifier " + idText + " is outside C000 to FFFF");
            continue;
        }
        const std::string name = line.substr(blank + 1);
        if (!isStorableName(name)) {
            damaged("the name is empty or holds a control character");
            continue;
        }
        const auto byId = parsed.names.find(static_cast<unsigned>(id));
        const auto byName = parsed.ids.find(upperCase(name));
        if (byId != parsed.names.end() || byName != parsed.ids.end()) {
            if (byId == parsed.names.end() || byName == parsed.ids.end() || byName->second != id) {
                damaged("identifier " + idText + " or name \"" + name + "\" appears twice");
            }
            continue;
        }
        parsed.names.emplace(static_cast<unsigned>(id), name);
        parsed.ids.emplace(upperCase(name), static_cast<unsigned>(id));
    }
    return parsed;
}

void ClipboardFormatTable::loadLocked() {
    if (_path.empty()) {
        return;
    }
    std::ifstream in(_path, std::ios::binary);
    if (!in) {
        if (errno != ENOENT) {
            noteProblem("The clipboard format table " + _path +
                        " could not be read: " + std::strerror(errno));
        }
        return;
    }
    std::string text;
    char buffer[65536];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
        text.append(buffer, static_cast<std::size_t>(in.gcount()));
        if (text.size() > LargestFile) {
            break;
        }
    }
    Parsed parsed =
        text.size() > LargestFile ? Parsed{{}, {}, 0, "the file is too large"} : parse(text);
    if (text.find('\0') != std::string::npos && parsed.damage.empty()) {
        parsed.damage = "the file holds zero bytes";
    }
    for (const auto& [id, name] : parsed.names) {
        // Entries of this run that another process has not seen yet keep their identifiers.
        if (names_.count(id) == 0 && ids_.count(upperCase(name)) == 0) {
            addLocked(name, id);
        }
    }
    next_ = std::max(next_, parsed.highest + 1);
    if (!parsed.damage.empty()) {
        // The damaged file is kept for the user to look at; the entries that could be read
        // are written back, and no identifier seen in it is handed out again.
        const std::string kept = _path + ".damaged";
        const bool keptAside = ::rename(_path.c_str(), kept.c_str()) == 0;
        noteProblem("The clipboard format table " + _path + " is damaged (" + parsed.damage +
                    "). " + (keptAside ? "It was kept as " + kept + "; " : std::string()) +
                    "the formats that could be read were kept and the table was written anew.");
        saveLocked();
    }
}

bool ClipboardFormatTable::saveLocked() {
    if (_path.empty()) {
        return true;
    }
    std::string text = "# Clipboard formats of Pastrix: identifier and X11 target name.\n";
    for (const auto& [id, name] : names_) {
        text += hex(id) + " " + name + "\n";
    }
    const std::string temporary = _path + ".tmp" + std::to_string(::getpid());
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    bool written = fd >= 0;
    for (std::size_t done = 0; written && done < text.size();) {
        const ssize_t count = ::write(fd, text.data() + done, text.size() - done);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        written = count > 0;
        done += written ? static_cast<std::size_t>(count) : 0;
    }
    written = written && ::fsync(fd) == 0;
    const int savedErrno = errno;
    if (fd >= 0) {
        ::close(fd);
    }
    if (written && ::rename(temporary.c_str(), _path.c_str()) == 0) {
        return true;
    }
    const int reason = written ? errno : savedErrno;
    ::unlink(temporary.c_str());
    noteProblem("The clipboard format table " + _path +
                " could not be written: " + std::strerror(reason) +
                ". Formats registered now may get other identifiers after a restart.");
    return false;
}

void ClipboardFormatTable::addLocked(const std::string& name, unsigned id) {
    ids_.emplace(upperCase(name), id);
    names_.emplace(id, name);
}

void ClipboardFormatTable::noteProblem(const std::string& text) {
    if (!problem_.empty()) {
        problem_ += "\n";
    }
    problem_ += text;
}

unsigned ClipboardFormatTable::registerName(const std::string& name, int& error) {
    if (!isStorableName(name)) {
        error = error::InvalidParameter;
        return 0;
    }
    const std::string key = upperCase(name);
    std::lock_guard lock(mutex_);
    if (const auto found = ids_.find(key); found != ids_.end()) {
        return found->second;
    }
    FileLock fileLock(_path);
    // Another process may have registered names since this one last looked.
    loadLocked();
    if (const auto found = ids_.find(key); found != ids_.end()) {
        return found->second;
    }
    while (next_ <= cf::LastRegistered && names_.count(next_) != 0) {
        ++next_;
    }
    if (next_ > cf::LastRegistered) {
        error = error::NotEnoughMemory;
        return 0;
    }
    const unsigned id = next_++;
    addLocked(name, id);
    // A table that cannot be written still serves this run; the problem is told.
    saveLocked();
    return id;
}

std::optional<unsigned> ClipboardFormatTable::find(const std::string& name) const {
    std::lock_guard lock(mutex_);
    const auto found = ids_.find(upperCase(name));
    if (found == ids_.end()) {
        return std::nullopt;
    }
    return found->second;
}

std::optional<std::string> ClipboardFormatTable::name(unsigned id) const {
    std::lock_guard lock(mutex_);
    const auto found = names_.find(id);
    if (found == names_.end()) {
        return std::nullopt;
    }
    return found->second;
}

std::string ClipboardFormatTable::takeProblem() {
    std::lock_guard lock(mutex_);
    return std::exchange(problem_, std::string());
}

}  // namespace os::x11
