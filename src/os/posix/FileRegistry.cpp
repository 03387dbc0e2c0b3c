#include "os/posix/FileRegistry.h"

#include "os/ErrorCodes.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace os::posix {

namespace {

const char* const Header = "Pastrix registry key";
const char* const HexDigits = "0123456789ABCDEF";

// The run-at-logon key's names below its root.
const std::vector<std::string> RunKeyNames = {"Software", "Microsoft", "Windows", "CurrentVersion",
                                              "Run"};

std::string percent(unsigned char c) {
    return std::string{'%', HexDigits[c >> 4U], HexDigits[c & 0xFU]};
}

// A key's name as a file name: lower case (keys compare without regard to case), and every
// byte but letters, digits, "_" and "-" as %XX, so no name is "." or ".." or ends in ".key".
std::string encodeKeyName(const std::string& name) {
    std::string encoded;
    for (const char ch : name) {
        const auto c = static_cast<unsigned char>(std::tolower(static_cast<unsigned char>(ch)));
        if (std::isalnum(c) != 0 || c == '_' || c == '-') {
            encoded += static_cast<char>(c);
        } else {
            encoded += percent(c);
        }
    }
    return encoded;
}

// A value's name on its line: no spaces, line breaks or other control characters.
std::string encodeValueName(const std::string& name) {
    std::string encoded;
    for (const char ch : name) {
        const auto c = static_cast<unsigned char>(ch);
        if (c <= 0x20 || c >= 0x7F || c == '%') {
            encoded += percent(c);
        } else {
            encoded += ch;
        }
    }
    return encoded;
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

bool decodeValueName(const std::string& encoded, std::string& name) {
    name.clear();
    for (std::size_t i = 0; i < encoded.size(); ++i) {
        if (encoded[i] != '%') {
            name += encoded[i];
            continue;
        }
        if (i + 2 >= encoded.size()) {
            return false;
        }
        const int high = hexValue(encoded[i + 1]);
        const int low = hexValue(encoded[i + 2]);
        if (high < 0 || low < 0) {
            return false;
        }
        name += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return true;
}

std::string toHex(const std::string& bytes) {
    std::string hex;
    for (const char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        hex += HexDigits[c >> 4U];
        hex += HexDigits[c & 0xFU];
    }
    return hex;
}

bool fromHex(const std::string& hex, std::string& bytes) {
    if (hex.size() % 2 != 0) {
        return false;
    }
    bytes.clear();
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        const int high = hexValue(hex[i]);
        const int low = hexValue(hex[i + 1]);
        if (high < 0 || low < 0) {
            return false;
        }
        bytes += static_cast<char>(high * 16 + low);
    }
    return true;
}

bool parseType(const std::string& text, std::uint32_t& type) {
    if (text.empty() || text.size() > 10 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return false;
    }
    const unsigned long long value = std::strtoull(text.c_str(), nullptr, 10);
    if (value > 0xFFFFFFFFULL) {
        return false;
    }
    type = static_cast<std::uint32_t>(value);
    return true;
}

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

std::vector<std::string> splitFields(const std::string& line) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    while (start <= line.size()) {
        const std::size_t end = std::min(line.find(' ', start), line.size());
        fields.push_back(line.substr(start, end - start));
        start = end + 1;
    }
    return fields;
}

// Makes the directory and those on its way; 0 or an errno value.
int makeDirectories(const std::string& directory) {
    std::size_t position = 0;
    while (position != std::string::npos) {
        position = directory.find('/', position + 1);
        const std::string step = directory.substr(0, position);
        if (step.empty()) {
            continue;
        }
        if (::mkdir(step.c_str(), 0700) != 0 && errno != EEXIST) {
            return errno;
        }
    }
    struct stat info {};
    if (::stat(directory.c_str(), &info) != 0) {
        return errno;
    }
    return S_ISDIR(info.st_mode) ? 0 : ENOTDIR;
}

std::string directoryOf(const std::string& file) {
    const std::size_t slash = file.rfind('/');
    return slash == std::string::npos ? std::string(".") : file.substr(0, slash);
}

// Writes the file whole: a temporary file beside it, flushed to the disk and renamed over
// it. 0 or an errno value.
int writeFileAtomically(const std::string& file, const std::string& content) {
    if (const int failure = makeDirectories(directoryOf(file)); failure != 0) {
        return failure;
    }
    std::string temporary = file + ".XXXXXX";
    const int descriptor = ::mkstemp(temporary.data());
    if (descriptor < 0) {
        return errno;
    }
    int failure = 0;
    std::size_t written = 0;
    while (written < content.size() && failure == 0) {
        const ssize_t result =
            ::write(descriptor, content.data() + written, content.size() - written);
        if (result < 0 && errno != EINTR) {
            failure = errno;
        } else if (result > 0) {
            written += static_cast<std::size_t>(result);
        }
    }
    if (failure == 0 && ::fchmod(descriptor, 0600) != 0) {
        failure = errno;
    }
    if (failure == 0 && ::fsync(descriptor) != 0) {
        failure = errno;
    }
    if (::close(descriptor) != 0 && failure == 0) {
        failure = errno;
    }
    if (failure == 0 && ::rename(temporary.c_str(), file.c_str()) != 0) {
        failure = errno;
    }
    if (failure != 0) {
        ::unlink(temporary.c_str());
    }
    return failure;
}

// 0 with the content, or an errno value.
int readFile(const std::string& file, std::string& content) {
    const int descriptor = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) {
        return errno;
    }
    content.clear();
    char buffer[4096];
    int failure = 0;
    while (true) {
        const ssize_t result = ::read(descriptor, buffer, sizeof buffer);
        if (result < 0) {
            if (errno == EINTR) {
                continue;
            }
            failure = errno;
            break;
        }
        if (result == 0) {
            break;
        }
        content.append(buffer, static_cast<std::size_t>(result));
    }
    ::close(descriptor);
    return failure;
}

bool fileExists(const std::string& file) {
    struct stat info {};
    return ::stat(file.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// A text as the value of a desktop entry key.
std::string escapeEntryString(const std::string& text) {
    std::string escaped;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        switch (c) {
            case '\\':
                escaped += "\\\\";
                break;
            case '\n':
                escaped += "\\n";
                break;
            case '\t':
                escaped += "\\t";
                break;
            case '\r':
                escaped += "\\r";
                break;
            case ' ':
                escaped += i == 0 ? "\\s" : " ";
                break;
            default:
                escaped += c;
        }
    }
    return escaped;
}

// The command's arguments: a part in double quotes is one argument, the quotes removed;
// otherwise spaces and tabs separate them.
std::vector<std::string> splitCommand(const std::string& command) {
    std::vector<std::string> arguments;
    std::size_t i = 0;
    while (i < command.size()) {
        while (i < command.size() && (command[i] == ' ' || command[i] == '\t')) {
            ++i;
        }
        if (i >= command.size()) {
            break;
        }
        std::string argument;
        bool quoted = false;
        while (i < command.size() && (quoted || (command[i] != ' ' && command[i] != '\t'))) {
            if (command[i] == '"') {
                quoted = !quoted;
            } else {
                argument += command[i];
            }
            ++i;
        }
        arguments.push_back(argument);
    }
    return arguments;
}

std::string quoteArgument(const std::string& argument) {
    static const std::string reserved = " \t\n\"'\\><~|&;$*?#()`";
    if (!argument.empty() && argument.find_first_of(reserved) == std::string::npos) {
        return argument;
    }
    std::string quoted = "\"";
    for (const char c : argument) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') {
            quoted += '\\';
        }
        quoted += c;
    }
    return quoted + "\"";
}

}  // namespace

FileRegistry::FileRegistry(PosixErrors& errors)
    : FileRegistry(errors, userConfigurationDirectory()) {}

FileRegistry::FileRegistry(PosixErrors& errors, std::string configurationDirectory)
    : errors_(errors),
      registryDirectory_(configurationDirectory + "/pastrix/registry"),
      autostartDirectory_(std::move(configurationDirectory) + "/autostart") {}

std::string FileRegistry::userConfigurationDirectory() {
    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    if (configHome != nullptr && configHome[0] == '/') {
        return configHome;
    }
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/') {
        return std::string(home) + "/.config";
    }
    if (const passwd* user = ::getpwuid(::getuid()); user != nullptr && user->pw_dir != nullptr) {
        return std::string(user->pw_dir) + "/.config";
    }
    return ".config";
}

std::string FileRegistry::execLine(const std::string& command) {
    std::string line;
    for (const std::string& argument : splitCommand(command)) {
        if (!line.empty()) {
            line += ' ';
        }
        line += quoteArgument(argument);
    }
    // "%" starts a field code.
    std::string withoutFieldCodes;
    for (const char c : line) {
        withoutFieldCodes += c;
        if (c == '%') {
            withoutFieldCodes += '%';
        }
    }
    return escapeEntryString(withoutFieldCodes);
}

std::string FileRegistry::desktopFileName(const std::string& valueName) {
    if (valueName.empty()) {
        return "default.desktop";
    }
    std::string name;
    for (std::size_t i = 0; i < valueName.size(); ++i) {
        const auto c = static_cast<unsigned char>(valueName[i]);
        if (c < 0x20 || c == 0x7F || c == '/' || c == '%' || (i == 0 && c == '.')) {
            name += percent(c);
        } else {
            name += static_cast<char>(c);
        }
    }
    return name + ".desktop";
}

std::string FileRegistry::keyFile(const RegistryPath& path) const {
    std::string file = registryDirectory_ + "/" + rootName(path.root);
    for (const std::string& name : path.names) {
        file += "/" + encodeKeyName(name);
    }
    return file + ".key";
}

bool FileRegistry::isRunKey(const RegistryPath& path) {
    if (path.root != hkey::CurrentUser && path.root != hkey::LocalMachine) {
        return false;
    }
    return path.names.size() == RunKeyNames.size() &&
           std::equal(path.names.begin(), path.names.end(), RunKeyNames.begin(), sameName);
}

long FileRegistry::loadKey(const RegistryPath& path, std::vector<RegistryValue>& values) {
    values.clear();
    const std::string file = keyFile(path);
    std::string content;
    if (const int failure = readFile(file, content); failure != 0) {
        if (failure == ENOENT && path.names.empty()) {
            return error::Success;
        }
        return PosixErrors::fromErrno(failure == ENOTDIR ? ENOENT : failure);
    }
    const std::vector<std::string> lines = splitLines(content);
    const auto corrupt = [&](std::size_t line) {
        values.clear();
        errors_.setLastErrorWithText(
            error::InvalidData,
            "The registry file '" + file + "' is corrupt (line " + std::to_string(line) + ").");
        return static_cast<long>(error::InvalidData);
    };
    if (lines.size() < 2 || lines[0] != Header || lines[1].rfind("Key: ", 0) != 0) {
        return corrupt(1);
    }
    for (std::size_t i = 2; i < lines.size(); ++i) {
        const std::vector<std::string> fields = splitFields(lines[i]);
        RegistryValue value;
        if (fields.size() != 4 || fields[0] != "Value" || !parseType(fields[1], value.type) ||
            fields[2].empty() || fields[2][0] != ':' || fields[3].empty() || fields[3][0] != ':' ||
            !decodeValueName(fields[2].substr(1), value.name) ||
            !fromHex(fields[3].substr(1), value.data)) {
            return corrupt(i + 1);
        }
        values.push_back(std::move(value));
    }
    return error::Success;
}

long FileRegistry::writeKeyFile(const RegistryPath& path,
                                const std::vector<RegistryValue>& values) {
    std::string content = std::string(Header) + "\nKey: " + encodeValueName(path.text()) + "\n";
    for (const RegistryValue& value : values) {
        content += "Value " + std::to_string(value.type) + " :" + encodeValueName(value.name) +
                   " :" + toHex(value.data) + "\n";
    }
    if (const int failure = writeFileAtomically(keyFile(path), content); failure != 0) {
        return PosixErrors::fromErrno(failure);
    }
    return error::Success;
}

long FileRegistry::storeKey(const RegistryPath& path, const std::vector<RegistryValue>& values) {
    if (!isRunKey(path)) {
        return writeKeyFile(path, values);
    }
    std::vector<RegistryValue> before;
    if (const long code = loadKey(path, before); code != error::Success) {
        return code;
    }
    if (const long code = updateAutostart(path, before, values); code != error::Success) {
        return code;
    }
    const long code = writeKeyFile(path, values);
    if (code != error::Success) {
        // The key keeps its old values, so the autostart entries go back to them too.
        updateAutostart(path, values, before);
    }
    return code;
}

long FileRegistry::makeKey(const RegistryPath& path, bool& created) {
    created = false;
    RegistryPath step{path.root, {}};
    for (const std::string& name : path.names) {
        step.names.push_back(name);
        if (fileExists(keyFile(step))) {
            created = false;
            continue;
        }
        if (const long code = writeKeyFile(step, {}); code != error::Success) {
            return code;
        }
        created = true;
    }
    return error::Success;
}

long FileRegistry::updateAutostart(const RegistryPath&, const std::vector<RegistryValue>& before,
                                   const std::vector<RegistryValue>& after) {
    const auto isText = [](const RegistryValue& value) {
        return value.type == reg::Sz || value.type == reg::ExpandSz;
    };
    const auto find = [](const std::vector<RegistryValue>& values, const std::string& name) {
        return std::find_if(values.begin(), values.end(),
                            [&](const RegistryValue& value) { return sameName(value.name, name); });
    };
    for (const RegistryValue& old : before) {
        const auto now = find(after, old.name);
        if (isText(old) && (now == after.end() || !isText(*now))) {
            if (const long code = removeDesktopEntry(old.name); code != error::Success) {
                return code;
            }
        }
    }
    for (const RegistryValue& value : after) {
        const auto old = find(before, value.name);
        if (isText(value) &&
            (old == before.end() || old->type != value.type || old->data != value.data)) {
            if (const long code = writeDesktopEntry(value); code != error::Success) {
                return code;
            }
        }
    }
    return error::Success;
}

long FileRegistry::writeDesktopEntry(const RegistryValue& value) {
    std::string command = value.data.substr(0, value.data.find('\0'));
    if (value.type == reg::ExpandSz) {
        command =
            expand(command, [this](const std::string& name) { return environmentValue(name); });
    }
    if (splitCommand(command).empty()) {
        // Nothing to run.
        return removeDesktopEntry(value.name);
    }
    const std::string content =
        "[Desktop Entry]\nType=Application\nName=" + escapeEntryString(value.name) +
        "\nExec=" + execLine(command) + "\nX-GNOME-Autostart-enabled=true\n";
    const std::string file = autostartDirectory_ + "/" + desktopFileName(value.name);
    if (const int failure = writeFileAtomically(file, content); failure != 0) {
        return PosixErrors::fromErrno(failure);
    }
    return error::Success;
}

long FileRegistry::removeDesktopEntry(const std::string& valueName) {
    const std::string file = autostartDirectory_ + "/" + desktopFileName(valueName);
    if (::unlink(file.c_str()) != 0 && errno != ENOENT) {
        return PosixErrors::fromErrno(errno);
    }
    return error::Success;
}

std::optional<std::string> FileRegistry::environmentValue(const std::string& name) const {
    const char* value = std::getenv(name.c_str());
    if (value == nullptr) {
        return std::nullopt;
    }
    return std::string(value);
}

void FileRegistry::setLastError(int code) {
    errors_.setLastError(code);
}

}  // namespace os::posix
