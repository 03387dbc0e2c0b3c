#include "WorkspaceCommands.h"

#include "config/coolkeys/CKEntry.h"
#include "config/workspace/SlotDescription.h"
#include "config/workspace/Workspace.h"
#include "exceptions/Exception.h"
#include "io/file/FileHelper.h"
#include "io/file/PlainFileReader.h"
#include "io/file/PlainFileWriter.h"
#include "os/Clipboard.h"
#include "os/Port.h"
#include "windows/clipboard/ClipboardHelper.h"
#include "windows/file/WindowsFileHelper.h"
#include "windows/memory/WindowsMemoryHelper.h"
#include "windows/reporter/MessageBoxReporter.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <optional>
#include <ostream>

namespace pastrixctl {

namespace {

using products::pastrix::config::coolkeys::CKEntry;
using products::pastrix::config::workspace::Workspace;
namespace SlotDescription = products::pastrix::config::workspace::SlotDescription;
namespace ClipboardHelper = windows::clipboard::ClipboardHelper;
namespace memory = windows::memory::WindowsMemoryHelper;

constexpr int Success = 0;
constexpr int Failure = 1;
constexpr int UsageError = 2;

// Shows the program's messages as the program does, and remembers that one was shown.
class CommandReporter final : public windows::reporter::ErrorReporter {
public:
    void showError(const std::string& message) override {
        ++errors;
        boxes.showError(message);
    }
    bool hasFailed() const { return errors != 0; }

private:
    windows::reporter::MessageBoxReporter boxes;
    int errors = 0;
};

// A workspace directory given on the command line, opened as the program opens it: the
// directory's parent is the base directory and its last name the workspace's name.
class OpenedWorkspace {
public:
    explicit OpenedWorkspace(const std::string& path) : workspace(reporter, 0, baseOf(path)) {
        workspace.open(nameOf(path));
    }

    bool isLoaded() const { return workspace.isLoaded(); }
    bool hasFailed() const { return reporter.hasFailed(); }
    void showError(const std::string& message) { reporter.showError(message); }
    Workspace& get() { return workspace; }

private:
    // Windows takes '/' in a path as well as its own '\\', and a command line may hold either.
    static std::string separators() {
        const char native = os::fileSystem().separator();
        return native == '\\' ? std::string("\\/") : std::string(1, native);
    }
    static std::string trimmed(const std::string& path) {
        const std::string any = separators();
        std::string result = path;
        while (result.size() > 1 && any.find(result.back()) != std::string::npos) {
            result.pop_back();
        }
        return result;
    }
    static std::string baseOf(const std::string& path) {
        const std::string directory = trimmed(path);
        const std::size_t separator = directory.find_last_of(separators());
        return separator == std::string::npos
                   ? windows::file::WindowsFileHelper::getCurrentDirectory()
                   : directory.substr(0, separator + 1);
    }
    static std::string nameOf(const std::string& path) {
        const std::string directory = trimmed(path);
        const std::size_t separator = directory.find_last_of(separators());
        return separator == std::string::npos ? directory : directory.substr(separator + 1);
    }

    CommandReporter reporter;
    Workspace workspace;
};

int usage(std::ostream& err, const char* text) {
    err << "usage:\n" << text;
    return UsageError;
}

int fail(OpenedWorkspace& opened, const std::string& message) {
    opened.showError(message);
    return Failure;
}

int outcome(const OpenedWorkspace& opened) {
    return opened.hasFailed() ? Failure : Success;
}

std::optional<unsigned> parseSlot(const std::string& text) {
    if (text.empty() || text.size() > 3 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    const unsigned number = static_cast<unsigned>(std::stoul(text));
    if (number < 1 || number >= Workspace::SlotCount) {
        return std::nullopt;
    }
    return number;
}

// A format by number (decimal, or hexadecimal after 0x) or by the name of a standard format.
std::optional<unsigned> parseFormat(const std::string& text) {
    const bool hexadecimal = text.rfind("0x", 0) == 0 || text.rfind("0X", 0) == 0;
    const std::string digits = hexadecimal ? text.substr(2) : text;
    const auto isDigit = [&](char c) {
        return hexadecimal ? std::isxdigit(static_cast<unsigned char>(c)) != 0
                           : (c >= '0' && c <= '9');
    };
    if (!digits.empty() && digits.size() <= 8 &&
        std::all_of(digits.begin(), digits.end(), isDigit)) {
        const unsigned long value = std::stoul(digits, nullptr, hexadecimal ? 16 : 10);
        if (value == 0 || value > os::cf::LastRegistered) {
            return std::nullopt;
        }
        return static_cast<unsigned>(value);
    }
    // Registered names mean nothing outside the process that registered them, so only the
    // standard names are known here.
    for (unsigned format = 1; format < 0x200; ++format) {
        if (text != "CF_UNKNOWN" && ClipboardHelper::getFormatName(format) == text) {
            return format;
        }
    }
    return std::nullopt;
}

std::string blockBytes(os::MemoryHandle block) {
    const std::size_t size = memory::globalSize(block);
    const char* bytes = static_cast<const char*>(memory::globalLock(block));
    std::string result(bytes, size);
    memory::globalUnlock(block);
    return result;
}

os::MemoryHandle newBlock(const std::string& bytes) {
    const os::MemoryHandle block = memory::globalAlloc(os::GMemMoveable, bytes.size());
    try {
        void* target = memory::globalLock(block);
        std::memcpy(target, bytes.data(), bytes.size());
        memory::globalUnlock(block);
    } catch (...) {
        os::globalMemory().free(block);
        throw;
    }
    return block;
}

const products::pastrix::config::workspace::KeyClipboard* filledSlot(OpenedWorkspace& opened,
                                                                     unsigned slot) {
    const auto& clipboard = opened.get().getClipboards()[slot];
    if (!clipboard) {
        opened.showError("The slot " + std::to_string(slot) + " of the workspace " +
                         opened.get().getName() + " is empty.");
    }
    return clipboard.get();
}

int listSlots(OpenedWorkspace& opened, std::ostream& out) {
    out << "Code\tKey\tCaption\tData type\tLocation\n";
    for (const auto& clipboard : opened.get().getClipboards()) {
        if (!clipboard) {
            continue;
        }
        out << clipboard->getVirtualKey() << '\t' << escapeText(clipboard->getKeyName()) << '\t'
            << escapeText(SlotDescription::preview(clipboard->getText())) << '\t'
            << SlotDescription::dataTypes(clipboard->getDataTypes()) << '\t'
            << escapeText(clipboard->getCaption()) << '\n';
    }
    return outcome(opened);
}

int showSlot(OpenedWorkspace& opened, unsigned slot, std::ostream& out) {
    const auto* clipboard = filledSlot(opened, slot);
    if (clipboard == nullptr) {
        return Failure;
    }
    out << "Slot: " << slot << '\n'
        << "Key: " << escapeText(clipboard->getKeyName()) << '\n'
        << "Location: " << escapeText(clipboard->getCaption()) << '\n'
        << "Data type: " << SlotDescription::dataTypes(clipboard->getDataTypes()) << '\n'
        << "Size: " << clipboard->getSize() << '\n'
        << "Format\tName\tSize\n";
    for (const auto& entry : clipboard->getEntries()) {
        out << entry.format << '\t' << ClipboardHelper::getFormatName(entry.format) << '\t'
            << memory::globalSize(entry.memory) << '\n';
    }
    return outcome(opened);
}

int exportFormat(OpenedWorkspace& opened, unsigned slot, unsigned format, const std::string& target,
                 std::ostream& out) {
    const auto* clipboard = filledSlot(opened, slot);
    if (clipboard == nullptr) {
        return Failure;
    }
    const auto& entries = clipboard->getEntries();
    const auto found = std::find_if(entries.begin(), entries.end(),
                                    [&](const auto& entry) { return entry.format == format; });
    if (found == entries.end()) {
        return fail(opened, "The slot " + std::to_string(slot) + " holds no data of the format " +
                                std::to_string(format) + ".");
    }
    const std::string bytes = blockBytes(found->memory);
    if (target == "-") {
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    } else {
        io::file::FileHelper::save(target, bytes);
    }
    return outcome(opened);
}

int importFormat(OpenedWorkspace& opened, unsigned slot, unsigned format,
                 const std::string& source) {
    const std::string bytes = io::file::FileHelper::load(source);
    if (bytes.empty()) {
        return fail(opened, "The file " + source + " is empty; a format needs at least one byte.");
    }
    // The new content: the slot's formats in their order, with this one replaced or added.
    windows::clipboard::Clipboard content("Clipboard");
    bool replaced = false;
    if (const auto& current = opened.get().getClipboards()[slot]) {
        for (const auto& entry : current->getEntries()) {
            if (entry.format == format) {
                content.add({newBlock(bytes), format});
                replaced = true;
            } else {
                content.add(
                    {ClipboardHelper::duplicateData(entry.memory, entry.format), entry.format});
            }
        }
        content.setCaption(current->getCaption());
    }
    if (!replaced) {
        content.add({newBlock(bytes), format});
    }
    content.setCaptured(true);
    opened.get().setClipboard(slot, content);
    opened.get().saveClipboard(slot);
    return outcome(opened);
}

int listCoolKeys(OpenedWorkspace& opened, std::ostream& out) {
    out << "Abbreviation\tExpansion\tFile\n";
    const char separator = os::fileSystem().separator();
    for (const auto& entry : opened.get().getCoolKeys()) {
        const std::string& file = entry->getFilename();
        out << escapeText(entry->getAbbreviation()) << '\t' << escapeText(entry->getExpand())
            << '\t' << file.substr(file.rfind(separator) + 1) << '\n';
    }
    return outcome(opened);
}

int addCoolKey(OpenedWorkspace& opened, const std::string& abbreviation,
               const std::string& expansion) {
    if (abbreviation.empty() || abbreviation.size() > CKEntry::MaxAbbreviationLength) {
        return fail(opened, "An abbreviation has 1 to " +
                                std::to_string(CKEntry::MaxAbbreviationLength) + " characters.");
    }
    if (expansion.empty()) {
        return fail(opened, "The text of a Cool Key must not be empty.");
    }
    io::file::PlainFileReader reader;
    io::file::PlainFileWriter writer;
    CKEntry entry(reader, writer);
    entry.setAbbreviation(abbreviation);
    entry.setExpand(expansion);
    opened.get().saveCoolKey(entry);
    return outcome(opened);
}

int removeCoolKey(OpenedWorkspace& opened, const std::string& abbreviation) {
    io::file::PlainFileReader reader;
    io::file::PlainFileWriter writer;
    CKEntry entry(reader, writer);
    entry.setAbbreviation(abbreviation);
    opened.get().deleteCoolKey(entry);
    return outcome(opened);
}

// Opens the workspace and runs the command on it; the program's failures become messages and
// a failing exit code.
template <typename Body>
int onWorkspace(const std::string& directory, Body body) {
    OpenedWorkspace opened(directory);
    if (!opened.isLoaded()) {
        return Failure;
    }
    try {
        return body(opened);
    } catch (const exceptions::Exception& e) {
        return fail(opened, e.getMessage());
    }
}

}  // namespace

std::string escapeText(const std::string& text) {
    std::string result;
    for (const char c : text) {
        switch (c) {
            case '\\':
                result += "\\\\";
                break;
            case '\n':
                result += "\\n";
                break;
            case '\r':
                result += "\\r";
                break;
            case '\t':
                result += "\\t";
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
                    char escaped[8];
                    std::snprintf(escaped, sizeof escaped, "\\x%02X",
                                  static_cast<unsigned>(static_cast<unsigned char>(c)));
                    result += escaped;
                } else {
                    result += c;
                }
        }
    }
    return result;
}

int runWorkspaceCommand(const std::vector<std::string>& arguments, std::ostream& out,
                        std::ostream& err) {
    const std::size_t count = arguments.size();
    const std::string command = count > 0 ? arguments[0] : "";
    if (command == "list" && count == 2) {
        return onWorkspace(arguments[1],
                           [&](OpenedWorkspace& opened) { return listSlots(opened, out); });
    }
    const bool withSlot = (command == "show" && count == 3) ||
                          ((command == "export" || command == "import") && count == 5);
    if (!withSlot) {
        return usage(err, WorkspaceUsage);
    }
    const std::optional<unsigned> slot = parseSlot(arguments[2]);
    if (!slot) {
        err << "pastrixctl: the slot must be a number from 1 to 255, not '" << arguments[2]
            << "'\n";
        return UsageError;
    }
    if (command == "show") {
        return onWorkspace(arguments[1],
                           [&](OpenedWorkspace& opened) { return showSlot(opened, *slot, out); });
    }
    const std::optional<unsigned> format = parseFormat(arguments[3]);
    if (!format) {
        err << "pastrixctl: the format must be a number from 1 to 65535 or the name of a "
               "standard format, not '"
            << arguments[3] << "'\n";
        return UsageError;
    }
    if (command == "export") {
        return onWorkspace(arguments[1], [&](OpenedWorkspace& opened) {
            return exportFormat(opened, *slot, *format, arguments[4], out);
        });
    }
    return onWorkspace(arguments[1], [&](OpenedWorkspace& opened) {
        return importFormat(opened, *slot, *format, arguments[4]);
    });
}

int runCoolKeysCommand(const std::vector<std::string>& arguments, std::ostream& out,
                       std::ostream& err) {
    const std::size_t count = arguments.size();
    const std::string command = count > 0 ? arguments[0] : "";
    if (command == "list" && count == 2) {
        return onWorkspace(arguments[1],
                           [&](OpenedWorkspace& opened) { return listCoolKeys(opened, out); });
    }
    if (command == "add" && count == 4) {
        return onWorkspace(arguments[1], [&](OpenedWorkspace& opened) {
            return addCoolKey(opened, arguments[2], arguments[3]);
        });
    }
    if (command == "add" && count == 5 && arguments[3] == "--file") {
        return onWorkspace(arguments[1], [&](OpenedWorkspace& opened) {
            return addCoolKey(opened, arguments[2], io::file::FileHelper::load(arguments[4]));
        });
    }
    if (command == "remove" && count == 3) {
        return onWorkspace(arguments[1], [&](OpenedWorkspace& opened) {
            return removeCoolKey(opened, arguments[2]);
        });
    }
    return usage(err, CoolKeysUsage);
}

}  // namespace pastrixctl
