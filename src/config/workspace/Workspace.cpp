#include "config/workspace/Workspace.h"

#include "config/coolkeys/CoolKeysException.h"
#include "config/workspace/WorkspaceDirectory.h"
#include "exceptions/NumberFormatException.h"
#include "exceptions/RuntimeException.h"
#include "io/file/FileHelper.h"
#include "os/Port.h"
#include "platform/assertion/Assertion.h"
#include "util/NumberParser.h"
#include "windows/clipboard/ClipboardException.h"
#include "windows/file/WindowsFileHelper.h"

#include <algorithm>
#include <ctime>
#include <new>

namespace products::pastrix::config::workspace {

namespace files = windows::file::WindowsFileHelper;
using coolkeys::CKEntry;

namespace {

const char* const noWorkspaceName = "No active workspace";

std::string fileNamePart(const std::string& path) {
    const std::size_t separator = path.rfind(os::fileSystem().separator());
    return separator == std::string::npos ? path : path.substr(separator + 1);
}

}  // namespace

Workspace::Workspace(windows::reporter::ErrorReporter& reporter, std::uint32_t limit)
    : Workspace(reporter, limit, files::getCurrentDirectory()) {}

Workspace::Workspace(windows::reporter::ErrorReporter& reporter, std::uint32_t limit,
                     const std::string& base)
    : errorReporter(reporter), baseDirectory(base), name(noWorkspaceName), sizeLimit(limit) {
    const char separator = os::fileSystem().separator();
    if (baseDirectory.empty() || baseDirectory.back() != separator) {
        baseDirectory += separator;
    }
}

Workspace::~Workspace() {
    clear();
}

void Workspace::open(const std::string& workspaceName) {
    try {
        clear();
        name = workspaceName;
        if (const auto reason = WorkspaceDirectory::whyNotAWorkspace(baseDirectory, name)) {
            throw exceptions::IllegalArgumentException(*reason);
        }
        directory = baseDirectory + workspaceName + os::fileSystem().separator();
        WorkspaceDirectory::removeLeftovers(directory);
        loadClipboards();
        loadCoolKeys();
        loaded = true;
    } catch (const exceptions::Exception& e) {
        clear();
        errorReporter.showError("Could not load the workspace " + workspaceName +
                                "\nMaybe it has been deleted.\n" + e.getMessage());
    }
}

void Workspace::reportIllegalSlotFile(const std::string& path, const std::string& reason) {
    std::string message =
        "An illegal .pxf file was found in the workspace " + name + "\nFilename: " + path;
    if (!reason.empty()) {
        message += "\n\nException: " + reason;
    }
    errorReporter.showError(message);
}

void Workspace::loadClipboards() {
    for (const std::string& path : files::getFirstLevelFiles(directory, "*.pxf")) {
        // Only the file's own name counts: an underscore or a dot in a directory name above
        // it says nothing about the slot.
        const std::string fileName = fileNamePart(path);
        const std::size_t underscore = fileName.rfind('_');
        const std::size_t dot = fileName.rfind('.');
        if (underscore == std::string::npos || dot == std::string::npos || underscore > dot) {
            reportIllegalSlotFile(path, "");
            continue;
        }
        int number = 0;
        try {
            number = util::NumberParser::parseInt(fileName.substr(underscore + 1));
        } catch (const exceptions::NumberFormatException& e) {
            // One stray file must not cost the whole workspace.
            reportIllegalSlotFile(path, e.getMessage());
            continue;
        }
        if (number < 1 || number >= static_cast<int>(SlotCount)) {
            reportIllegalSlotFile(path, "The slot number " + std::to_string(number) +
                                            " is not between 1 and " +
                                            std::to_string(SlotCount - 1) + ".");
            continue;
        }
        if (const auto reason = WorkspaceDirectory::whyNotLoadable(
                path, WorkspaceDirectory::largestSlotFile(sizeLimit))) {
            reportUnloadableSlotFile(path,
                                     "Error when trying to load clipboard from file. "
                                     "Filename: " +
                                         path + "\nException: " + *reason);
            continue;
        }
        auto clipboard =
            std::make_unique<KeyClipboard>(static_cast<unsigned>(number), reader, writer);
        try {
            clipboard->load(path);
        } catch (const windows::clipboard::CouldNotLoadPersistantClipboardException& e) {
            reportUnloadableSlotFile(path, e.getMessage());
            continue;
        }
        _clipboards[static_cast<std::size_t>(number)] = std::move(clipboard);
    }
}

void Workspace::reportUnloadableSlotFile(const std::string& path, const std::string& message) {
    errorReporter.showError("An error occured when trying to load an .pxf file.\nWorkspace: " +
                            name + "\nFilename: " + path + "\n\nException: " + message);
}

void Workspace::reportUnloadableCoolKeyFile(const std::string& path, const std::string& message) {
    errorReporter.showError("An error occured when trying to load an .ckf file.\nWorkspace: " +
                            name + "\nFilename: " + path + "\n\nException: " + message);
}

void Workspace::loadCoolKeys() {
    for (const std::string& path : files::getFirstLevelFiles(directory, "*.ckf")) {
        if (const auto reason = WorkspaceDirectory::whyNotLoadable(
                path, WorkspaceDirectory::LargestUnlimitedFile)) {
            reportUnloadableCoolKeyFile(path,
                                        "Error when trying to load a Cool Keys entry. "
                                        "\nFilename: " +
                                            path + "\n" + *reason);
            continue;
        }
        auto entry = std::make_unique<CKEntry>(reader, writer);
        try {
            entry->load(path);
        } catch (const coolkeys::CouldNotLoadCKEntryException& e) {
            reportUnloadableCoolKeyFile(path, e.getMessage());
            continue;
        }
        coolKeys.push_back(std::move(entry));
    }
}

void Workspace::clear() {
    for (auto& clipboard : _clipboards) {
        clipboard.reset();
    }
    coolKeys.clear();
    directory = "";
    name = noWorkspaceName;
    loaded = false;
}

bool Workspace::setFromCurrentClipboard(unsigned clipboardNumber) {
    PX_ASSERT(clipboardNumber < _clipboards.size());
    if (clipboardNumber >= _clipboards.size()) {
        return false;
    }
    try {
        std::unique_ptr<KeyClipboard> newClipboard(
            new (std::nothrow) KeyClipboard(clipboardNumber, reader, writer));
        PX_ASSERT(newClipboard);
        if (!newClipboard || !newClipboard->captureContent()) {
            return false;
        }
        _clipboards[clipboardNumber] = std::move(newClipboard);
        return true;
    } catch (const exceptions::Exception& e) {
        errorReporter.showError(
            "An error occured when trying to set a clipboard from the current windows "
            "clipboard.\n" +
            e.getMessage());
        return false;
    }
}

void Workspace::setClipboard(unsigned clipboardNumber, windows::clipboard::Clipboard& content) {
    PX_ASSERT(clipboardNumber < _clipboards.size());
    if (clipboardNumber >= _clipboards.size()) {
        return;
    }
    auto clipboard = std::make_unique<KeyClipboard>(clipboardNumber, reader, writer);
    clipboard->takeContentFrom(content);
    _clipboards[clipboardNumber] = std::move(clipboard);
}

std::string Workspace::getClipboardFileName(unsigned clipboardNumber) const {
    return directory + "px_" + std::to_string(clipboardNumber) + ".pxf";
}

void Workspace::saveClipboard(unsigned clipboardNumber) {
    PX_ASSERT(clipboardNumber < _clipboards.size());
    if (clipboardNumber >= _clipboards.size()) {
        return;
    }
    KeyClipboard* clipboard = _clipboards[clipboardNumber].get();
    PX_ASSERT(clipboard);
    // A slot filled while no workspace is open has no directory to go to.
    if (!clipboard || !loaded) {
        return;
    }
    try {
        if (clipboard->isSecret()) {
            // Kept for this run only; the slot's older file goes too, or a restart would bring
            // back what the secret replaced.
            const std::string fileName = getClipboardFileName(clipboardNumber);
            if (io::file::FileHelper::exists(fileName)) {
                files::deleteFile(fileName);
            }
            return;
        }
        if (sizeLimit != 0 && clipboard->getSize() > sizeLimit) {
            // The file written earlier for the slot stays as it is.
            return;
        }
        clipboard->save(getClipboardFileName(clipboardNumber));
    } catch (const exceptions::Exception& e) {
        errorReporter.showError(e.getMessage());
    }
}

void Workspace::deleteClipboard(unsigned clipboardNumber) {
    PX_ASSERT(clipboardNumber >= 1 && clipboardNumber <= 256);
    PX_ASSERT(clipboardNumber < _clipboards.size());
    if (clipboardNumber < 1 || clipboardNumber >= _clipboards.size()) {
        return;
    }
    std::unique_ptr<KeyClipboard>& clipboard = _clipboards[clipboardNumber];
    PX_ASSERT(clipboard);
    if (!clipboard) {
        return;
    }
    clipboard.reset();
    try {
        files::deleteFile(getClipboardFileName(clipboardNumber));
    } catch (const exceptions::Exception& e) {
        errorReporter.showError(e.getMessage());
    }
}

Workspace::CoolKeyList::const_iterator Workspace::findCoolKey(const CKEntry& entry) const {
    return std::find_if(
        coolKeys.begin(), coolKeys.end(), [&](const std::unique_ptr<CKEntry>& candidate) {
            return candidate && candidate->getAbbreviation() == entry.getAbbreviation();
        });
}

std::string Workspace::freeCoolKeyFileName() const {
    // Files are named after the second of their creation; a second Cool Key made within the
    // same second takes the next free number instead of replacing the first one's file.
    long long seconds = static_cast<long long>(std::time(nullptr));
    while (true) {
        const std::string fileName = directory + "ck_" + std::to_string(seconds) + ".ckf";
        const bool taken = io::file::FileHelper::exists(fileName) ||
                           std::any_of(coolKeys.begin(), coolKeys.end(),
                                       [&](const std::unique_ptr<CKEntry>& entry) {
                                           return entry && entry->getFilename() == fileName;
                                       });
        if (!taken) {
            return fileName;
        }
        ++seconds;
    }
}

void Workspace::saveCoolKey(const CKEntry& entry) {
    try {
        if (!loaded) {
            errorReporter.showError("Couldn't save the Cool Key.\nNo workspace is open.");
            return;
        }
        const auto i = findCoolKey(entry);
        if (i == coolKeys.end()) {
            std::unique_ptr<CKEntry> newEntry(new (std::nothrow) CKEntry(reader, writer));
            PX_ASSERT(newEntry);
            if (!newEntry) {
                return;
            }
            newEntry->setAbbreviation(entry.getAbbreviation());
            newEntry->setExpand(entry.getExpand());
            newEntry->save(freeCoolKeyFileName());
            coolKeys.push_back(std::move(newEntry));
            return;
        }
        PX_ASSERT(*i);
        if (!*i) {
            return;
        }
        const std::string filename = (*i)->getFilename();
        PX_ASSERT(filename != "");
        if (filename == "") {
            return;
        }
        // The file is written before the entry changes, so that a failed write leaves memory
        // and disk telling the same story.
        CKEntry rewritten(reader, writer);
        rewritten.setAbbreviation(entry.getAbbreviation());
        rewritten.setExpand(entry.getExpand());
        rewritten.save(filename);
        CKEntry& existing = **i;
        existing.setExpand(rewritten.getExpand());
        existing.setAbbreviation(rewritten.getAbbreviation());
    } catch (const exceptions::Exception& e) {
        errorReporter.showError("Couldn't save the Cool Key.\n" + e.getMessage());
    }
}

void Workspace::deleteCoolKey(const CKEntry& entry) {
    const auto i = findCoolKey(entry);
    if (i == coolKeys.end()) {
        errorReporter.showError("Couldn't find the Cool Key to delete.\nAbbreviation: " +
                                entry.getAbbreviation());
        return;
    }
    const std::string filename = (*i)->getFilename();
    coolKeys.erase(i);
    files::deleteFile(filename);
}

}  // namespace products::pastrix::config::workspace
