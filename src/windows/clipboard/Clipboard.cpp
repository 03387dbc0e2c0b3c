#include "windows/clipboard/Clipboard.h"

#include "platform/assertion/Assertion.h"
#include "windows/clipboard/ClipboardException.h"
#include "windows/clipboard/ClipboardHelper.h"
#include "windows/memory/MemoryExceptions.h"
#include "windows/memory/WindowsMemoryHelper.h"

#include <algorithm>
#include <utility>

namespace windows::clipboard {

namespace memory = windows::memory::WindowsMemoryHelper;

Clipboard::Clipboard(std::string snapshotName) : name(std::move(snapshotName)) {}

Clipboard::~Clipboard() {
    clear();
}

bool Clipboard::capture() {
    return take(true);
}

bool Clipboard::captureContent() {
    return take(false);
}

bool Clipboard::take(bool withMarks) {
    clear();
    std::vector<unsigned> formats = ClipboardHelper::getCurrentFormats();
    if (!withMarks) {
        const auto marks =
            std::stable_partition(formats.begin(), formats.end(),
                                  [](unsigned format) { return !ClipboardHelper::isMark(format); });
        // Marks alone are no content: they are not read then.
        secret = marks != formats.begin() &&
                 std::any_of(marks, formats.end(), ClipboardHelper::marksSecret);
        formats.erase(marks, formats.end());
    }
    if (formats.empty()) {
        return false;
    }
    captured = true;
    entries.reserve(formats.size());
    for (const unsigned format : formats) {
        try {
            entries.push_back(ClipboardEntry{ClipboardHelper::getClipboardData(format), format});
        } catch (const ClipboardException&) {
            // A format that is not a memory block (a bitmap handle) is left out; its
            // device-independent companions carry the same picture.
        }
    }
    return true;
}

void Clipboard::restore() {
    put(false);
}

void Clipboard::restoreTransient() {
    put(true);
}

void Clipboard::put(bool transient) {
    if (entries.empty()) {
        return;
    }
    ClipboardHelper::ScopedClipboard open;
    ClipboardHelper::emptyClipboard();
    for (const ClipboardEntry& entry : entries) {
        const os::MemoryHandle copy = ClipboardHelper::duplicateData(entry.memory, entry.format);
        try {
            ClipboardHelper::setClipboardData(entry.format, copy);
        } catch (const ClipboardException&) {
            // The clipboard did not take the copy, so it is still ours to free.
            try {
                memory::globalFree(copy);
            } catch (const windows::memory::CouldNotGlobalFreeException&) {
            }
            throw;
        }
    }
    if (transient) {
        // After the content, so that applications meet its formats first as before.
        ClipboardHelper::markTransient();
    }
}

void Clipboard::clear() {
    for (const ClipboardEntry& entry : entries) {
        try {
            memory::globalFree(entry.memory);
        } catch (const windows::memory::CouldNotGlobalFreeException&) {
            // A block that cannot be freed is lost; the others still are freed.
        }
    }
    entries.clear();
    caption = "";
    captured = false;
    secret = false;
}

std::string Clipboard::getText() const {
    const auto qualifies = [](const ClipboardEntry& entry) {
        return entry.format == 1 || ClipboardHelper::getFormatName(entry.format) == "FileName";
    };
    const auto found = std::find_if(entries.begin(), entries.end(), qualifies);
    if (found == entries.end()) {
        return "N/A";
    }
    const std::size_t size = memory::globalSize(found->memory);
    const char* bytes = static_cast<const char*>(memory::globalLock(found->memory));
    // A block without a zero byte ends at its size.
    const char* end = std::find(bytes, bytes + size, '\0');
    const std::string text(bytes, end);
    memory::globalUnlock(found->memory);
    return text;
}

std::uint64_t Clipboard::getSize() const {
    try {
        std::uint64_t total = 0;
        for (const ClipboardEntry& entry : entries) {
            const os::MemoryHandle memory = entry.memory;
            PX_ASSERT(memory);
            total += memory::globalSize(memory);
        }
        return total;
    } catch (const exceptions::Exception& e) {
        throw ClipboardException("Error when getting the size of a clipboard. " + e.getMessage());
    }
}

std::vector<unsigned> Clipboard::getFormats() const {
    std::vector<unsigned> formats;
    formats.reserve(entries.size());
    for (const ClipboardEntry& entry : entries) {
        formats.push_back(entry.format);
    }
    return formats;
}

std::vector<std::string> Clipboard::getDataTypes() const {
    return ClipboardHelper::getDataTypes(getFormats());
}

void Clipboard::add(const ClipboardEntry& entry) {
    entries.push_back(entry);
}

void Clipboard::takeContentFrom(Clipboard& other) {
    if (&other == this) {
        return;
    }
    clear();
    entries = std::move(other.entries);
    other.entries.clear();
    caption = std::move(other.caption);
    other.caption.clear();
    captured = other.captured;
    other.captured = false;
    secret = std::exchange(other.secret, false);
}

}  // namespace windows::clipboard
