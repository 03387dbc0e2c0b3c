#pragma once

#include "config/coolkeys/CKEntry.h"
#include "config/coolkeys/CoolKeyList.h"
#include "config/workspace/ActiveWorkspace.h"
#include "config/workspace/KeyClipboard.h"
#include "io/file/PlainFileReader.h"
#include "io/file/PlainFileWriter.h"
#include "windows/clipboard/Clipboard.h"
#include "windows/reporter/ErrorReporter.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace products::pastrix::config::workspace {

// The open workspace: a directory below the base directory holding one file per saved slot
// ("px_" + number + ".pxf") and one per Cool Key ("ck_" + creation time + ".ckf"). Slots are
// written when they are filled and Cool Keys when they change; nothing is written on
// closing. Failures are shown through the error reporter and the workspace carries on.
class Workspace final : public ActiveWorkspace {
public:
    static constexpr std::size_t SlotCount = 256;
    using ClipboardTable = std::array<std::unique_ptr<KeyClipboard>, SlotCount>;
    using CoolKeyList = coolkeys::CoolKeyList;

    // Workspaces are the directories below the current directory.
    Workspace(windows::reporter::ErrorReporter& reporter, std::uint32_t limit);
    // Workspaces are the directories below `base`.
    Workspace(windows::reporter::ErrorReporter& reporter, std::uint32_t limit,
              const std::string& base);
    ~Workspace() override;
    Workspace(const Workspace&) = delete;
    Workspace& operator=(const Workspace&) = delete;

    // Closes the open workspace and loads the named one; isLoaded tells whether it opened.
    // A bad slot or Cool Key file is reported and left out.
    void open(const std::string& workspaceName);
    // Closes the workspace; nothing on disk changes.
    void clear();
    bool isLoaded() const override { return loaded; }
    bool isSlotFilled(int key) const override {
        return loaded && key >= 0 && static_cast<std::size_t>(key) < _clipboards.size() &&
               _clipboards[static_cast<std::size_t>(key)] != nullptr;
    }

    const std::string& getName() const { return name; }
    const std::string& getBaseDirectory() const { return baseDirectory; }
    // The open workspace's directory with a separator at its end; empty while none is open.
    const std::string& getDirectory() const { return directory; }
    const ClipboardTable& getClipboards() const { return _clipboards; }
    const CoolKeyList& getCoolKeys() const { return coolKeys; }

    // Slots larger than the limit (in bytes, 0 for none) are kept in memory only.
    void setSizeLimit(std::uint32_t bytes) { sizeLimit = bytes; }
    std::uint32_t getSizeLimit() const { return sizeLimit; }

    // Fills the slot from the system clipboard; false (and the slot unchanged) when the
    // clipboard was empty or could not be read. Nothing is written.
    bool setFromCurrentClipboard(unsigned clipboardNumber);
    // Fills the slot with the content, which is left empty. Nothing is written.
    void setClipboard(unsigned clipboardNumber, windows::clipboard::Clipboard& content);
    // Writes the slot's file unless the slot is larger than the size limit. A secret is never
    // written: the slot's older file is removed instead.
    void saveClipboard(unsigned clipboardNumber);
    // Empties the slot and deletes its file.
    void deleteClipboard(unsigned clipboardNumber);
    std::string getClipboardFileName(unsigned clipboardNumber) const;

    // Creates the Cool Key with the entry's abbreviation and expansion, or rewrites the one
    // with that abbreviation.
    void saveCoolKey(const coolkeys::CKEntry& entry);
    // Removes the Cool Key with the entry's abbreviation and deletes its file; a failure to
    // delete the file is passed on.
    void deleteCoolKey(const coolkeys::CKEntry& entry);
    // The Cool Key whose abbreviation equals the entry's, byte for byte, or the end.
    CoolKeyList::const_iterator findCoolKey(const coolkeys::CKEntry& entry) const;

private:
    void loadClipboards();
    void loadCoolKeys();
    void reportIllegalSlotFile(const std::string& path, const std::string& reason);
    void reportUnloadableSlotFile(const std::string& path, const std::string& message);
    void reportUnloadableCoolKeyFile(const std::string& path, const std::string& message);
    std::string freeCoolKeyFileName() const;

    windows::reporter::ErrorReporter& errorReporter;
    std::string baseDirectory;
    std::string name;
    std::string directory;
    bool loaded = false;
    io::file::PlainFileReader reader;
    io::file::PlainFileWriter writer;
    std::uint32_t sizeLimit;
    ClipboardTable _clipboards;
    CoolKeyList coolKeys;
};

}  // namespace products::pastrix::config::workspace
