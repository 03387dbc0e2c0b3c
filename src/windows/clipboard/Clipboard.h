#pragma once

#include "windows/clipboard/ClipboardEntry.h"

#include <cstdint>
#include <string>
#include <vector>

namespace windows::clipboard {

// A snapshot of everything the system clipboard held at one moment: its formats in the
// clipboard's order, each with a memory block the snapshot owns, and a caption.
class Clipboard {
public:
    explicit Clipboard(std::string name);
    virtual ~Clipboard();
    Clipboard(const Clipboard&) = delete;
    Clipboard& operator=(const Clipboard&) = delete;

    // Takes every format the clipboard can hand over as a memory block. False when the
    // clipboard was empty; formats that cannot be fetched are left out.
    bool capture();
    // Takes what the clipboard holds as content to keep: the marks that only tell clipboard
    // histories to skip it are left out, and the snapshot remembers whether they said that
    // their owner keeps it secret. False when nothing else was there.
    bool captureContent();
    // Puts copies of the snapshot's formats on the clipboard, replacing what it held. An
    // empty snapshot leaves the clipboard alone.
    void restore();
    // The same for a moment only, for a copy or paste keystroke: marked so that clipboard
    // histories do not record it.
    void restoreTransient();
    // Frees every block and forgets the caption.
    void clear();

    // The text of the first plain-text or file-name format, up to its first zero byte, or
    // "N/A".
    std::string getText() const;
    // The total size of the blocks in bytes.
    std::uint64_t getSize() const;
    std::vector<unsigned> getFormats() const;
    std::vector<std::string> getDataTypes() const;
    const std::vector<ClipboardEntry>& getEntries() const { return entries; }

    const std::string& getCaption() const { return caption; }
    void setCaption(const std::string& text) { caption = text; }
    const std::string& getName() const { return name; }

    // Appends an entry; the snapshot takes its block.
    void add(const ClipboardEntry& entry);
    // Replaces this snapshot's content (formats, caption, captured flag) by the other's and
    // leaves the other empty.
    void takeContentFrom(Clipboard& other);

    bool isCaptured() const { return captured; }
    void setCaptured(bool flag) { captured = flag; }
    // Content its owner marked as secret (a password manager's copy): kept in memory only,
    // never written to disk nor shown.
    bool isSecret() const { return secret; }

private:
    bool take(bool withMarks);
    void put(bool transient);

    std::vector<ClipboardEntry> entries;
    bool captured = false;
    bool secret = false;
    std::string name;
    std::string caption;
};

}  // namespace windows::clipboard
