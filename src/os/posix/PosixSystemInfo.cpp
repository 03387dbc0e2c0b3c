#include "os/posix/PosixSystemInfo.h"

#include "os/ErrorCodes.h"

#include <fstream>
#include <iterator>
#include <sys/utsname.h>

namespace os::posix {

namespace {

// The leading number of `text` from `pos` on, moving `pos` past it and one separator.
unsigned takeNumber(const std::string& text, std::size_t& pos) {
    unsigned value = 0;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
        value = value * 10 + static_cast<unsigned>(text[pos] - '0');
        ++pos;
    }
    if (pos < text.size() && text[pos] == '.') {
        ++pos;
    }
    return value;
}

}  // namespace

PosixSystemInfo::PosixSystemInfo(Errors& errors) : errors_(errors) {}

bool PosixSystemInfo::getVersionEx(VersionInfo& info) const {
    if (info.size != VersionInfoSize) {
        errors_.setLastError(error::InvalidParameter);
        return false;
    }
    struct utsname names {};
    if (::uname(&names) != 0) {
        return false;
    }
    const std::string release = names.release;
    std::size_t pos = 0;
    info.majorVersion = takeNumber(release, pos);
    info.minorVersion = takeNumber(release, pos);
    info.buildNumber = takeNumber(release, pos);
    info.platformId = PlatformPosix;
    // The record's text field holds 128 bytes with the terminating zero.
    info.csdVersion = (std::string(names.sysname) + " " + release).substr(0, 127);
    return true;
}

int PosixSystemInfo::getSystemMetrics(int /*index*/) const {
    return 0;
}

std::string PosixSystemInfo::joinArguments(const std::vector<std::string>& arguments) {
    std::string line;
    for (const std::string& argument : arguments) {
        if (!line.empty()) {
            line += ' ';
        }
        if (argument.empty() || argument.find(' ') != std::string::npos) {
            line += '"' + argument + '"';
        } else {
            line += argument;
        }
    }
    return line;
}

std::string PosixSystemInfo::getCommandLine() const {
    std::ifstream in("/proc/self/cmdline", std::ios::binary);
    const std::string raw((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<std::string> arguments;
    std::size_t begin = 0;
    while (begin < raw.size()) {
        std::size_t end = raw.find('\0', begin);
        if (end == std::string::npos) {
            end = raw.size();
        }
        arguments.push_back(raw.substr(begin, end - begin));
        begin = end + 1;
    }
    return joinArguments(arguments);
}

}  // namespace os::posix
