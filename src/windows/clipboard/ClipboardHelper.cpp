#include "windows/clipboard/ClipboardHelper.h"

#include "os/Clipboard.h"
#include "os/ErrorCodes.h"
#include "os/Port.h"
#include "platform/assertion/Assertion.h"
#include "platform/errorresources/SystemErrors.h"
#include "windows/clipboard/ClipboardException.h"
#include "windows/memory/MemoryExceptions.h"
#include "windows/memory/WindowsMemoryHelper.h"

#include <algorithm>
#include <cstring>
#include <iterator>

namespace windows::clipboard::ClipboardHelper {

namespace memory = windows::memory::WindowsMemoryHelper;

namespace {

constexpr int FormatNameBufferSize = 1024;

std::string lastErrorText() {
    return platform::errorresources::SystemErrors::map(os::errors().lastError());
}

struct StandardFormat {
    unsigned format;
    const char* name;
};

constexpr StandardFormat standardFormats[] = {
    {os::cf::Text, "CF_TEXT"},
    {os::cf::Bitmap, "CF_BITMAP"},
    {os::cf::MetafilePict, "CF_METAFILEPICT"},
    {os::cf::Sylk, "CF_SYLK"},
    {os::cf::Dif, "CF_DIF"},
    {os::cf::OemText, "CF_OEMTEXT"},
    {os::cf::Dib, "CF_DIB"},
    {os::cf::Palette, "CF_PALETTE"},
    {os::cf::Riff, "CF_RIFF"},
    {os::cf::Wave, "CF_WAVE"},
    {os::cf::UnicodeText, "CF_UNICODETEXT"},
    {os::cf::Locale, "CF_LOCALE"},
    {os::cf::DspText, "CF_DSPTEXT"},
    {os::cf::DspBitmap, "CF_DSPBITMAP"},
};

// The kinds of data, in the order they are named.
struct DataType {
    const char* name;
    std::vector<unsigned> formats;
    // Registered formats of these names also select the kind: the names desktops with a
    // data-object clipboard use, and the media types X11 clients name their targets by.
    std::vector<std::string> formatNames;
    // So does every registered name that starts with this (image/png, image/jpeg, ...).
    std::string formatNamePrefix;

    bool selectedByName(const std::string& formatName) const {
        return std::find(formatNames.begin(), formatNames.end(), formatName) != formatNames.end() ||
               (!formatNamePrefix.empty() && formatName.size() > formatNamePrefix.size() &&
                formatName.compare(0, formatNamePrefix.size(), formatNamePrefix) == 0);
    }
};

const std::vector<DataType>& dataTypes() {
    static const std::vector<DataType> types = {
        {"Text", {1, 7, 13, 16, 129}, {}, ""},
        {"Bitmap", {2, 3, 5, 6, 8, 130}, {}, "image/"},
        {"Audio", {11, 12}, {}, ""},
        {"Symb. link", {4}, {}, ""},
        {"File", {15}, {"FileName", "text/uri-list", "x-special/gnome-copied-files"}, ""},
        {"Html", {}, {"HTML Format", "text/html"}, ""},
        {"Palette", {9}, {}, ""},
    };
    return types;
}

bool inFixedLists(unsigned format) {
    return std::any_of(dataTypes().begin(), dataTypes().end(), [&](const DataType& type) {
        return std::find(type.formats.begin(), type.formats.end(), format) != type.formats.end();
    });
}

}  // namespace

void openClipboard() {
    if (!os::clipboard().open(0)) {
        throw CouldNotOpenClipboardException("Error when opening the clipboard.\n" +
                                             lastErrorText());
    }
}

void closeClipboard() {
    if (!os::clipboard().close()) {
        PX_ASSERT(false);
    }
}

void emptyClipboard() {
    if (!os::clipboard().empty()) {
        throw CouldNotEmptyClipboardException("Error when emptying the clipboard. " +
                                              lastErrorText());
    }
}

void markTransient() {
    static_cast<void>(os::clipboard().markTransient());
}

bool isMark(unsigned format) {
    return os::clipboard().isMark(format);
}

bool marksSecret(unsigned format) {
    std::string bytes;
    try {
        const os::MemoryHandle block = getClipboardData(format);
        try {
            const std::size_t size = memory::globalSize(block);
            bytes.assign(static_cast<const char*>(memory::globalLock(block)), size);
            memory::globalUnlock(block);
        } catch (const ::exceptions::Exception&) {
            bytes.clear();
        }
        memory::globalFree(block);
    } catch (const ::exceptions::Exception&) {
        // Judged by its presence alone.
    }
    return os::clipboard().marksSecret(format, bytes);
}

os::MemoryHandle duplicateData(os::MemoryHandle memoryHandle, unsigned /*format*/) {
    // Every format the program keeps is a plain memory block, so a copy of its bytes is a
    // complete duplicate.
    os::MemoryHandle copy = 0;
    try {
        const std::size_t size = memory::globalSize(memoryHandle);
        copy = memory::globalAlloc(os::GMemMoveable, size);
        const void* source = memory::globalLock(memoryHandle);
        try {
            void* target = memory::globalLock(copy);
            std::memcpy(target, source, size);
            memory::globalUnlock(copy);
        } catch (...) {
            memory::globalUnlock(memoryHandle);
            throw;
        }
        memory::globalUnlock(memoryHandle);
        return copy;
    } catch (const exceptions::Exception&) {
        if (copy != 0) {
            os::globalMemory().free(copy);
        }
        throw CouldNotCopyClipboardException(
            "Error when trying to copy (duplicate) the current clipboard. ");
    }
}

void setClipboardData(unsigned format, os::MemoryHandle memoryHandle) {
    if (os::clipboard().setData(format, memoryHandle) == 0) {
        throw CouldNotSetClipboardException("Error when setting the clipboard data. " +
                                            lastErrorText());
    }
}

os::MemoryHandle getClipboardData(unsigned format) {
    os::MemoryHandle block = 0;
    switch (os::clipboard().getData(format, block)) {
        case os::ClipboardData::Delivered:
            return block;
        case os::ClipboardData::NoDataObject:
            throw CouldNotGetCurrentClipboardException(
                "Error when getting the current clipboard. ");
        case os::ClipboardData::NotDelivered:
            break;
    }
    throw CouldNotGetCurrentClipboardException(
        "Error when getting the data from the current clipboard. ");
}

std::vector<unsigned> getCurrentFormats() {
    ScopedClipboard open;
    std::vector<unsigned> formats;
    unsigned format = 0;
    while ((format = os::clipboard().enumFormats(format)) != 0) {
        formats.push_back(format);
    }
    if (os::errors().lastError() != os::error::Success) {
        throw CouldNotGetCurrentFormatException(
            "Error when enumerating the clipboard to get the current format.\n" + lastErrorText());
    }
    return formats;
}

bool isFormatAvailable(unsigned format) {
    return os::clipboard().isFormatAvailable(format);
}

void changeClipboardChain(os::WindowHandle window, os::WindowHandle nextWindow) {
    os::clipboard().changeClipboardChain(window, nextWindow);
}

std::string getFormatName(unsigned format) {
    std::string name;
    if (os::clipboard().getFormatName(format, name, FormatNameBufferSize) > 0) {
        return name;
    }
    const auto* found =
        std::find_if(std::begin(standardFormats), std::end(standardFormats),
                     [&](const StandardFormat& standard) { return standard.format == format; });
    return found == std::end(standardFormats) ? "CF_UNKNOWN" : found->name;
}

std::vector<std::string> getDataTypes(const std::vector<unsigned>& formats) {
    // The kinds come from the formats alone: what the clipboard holds at the moment says
    // nothing about a snapshot taken earlier.
    std::vector<bool> flagged(dataTypes().size(), false);
    for (const unsigned format : formats) {
        const std::string name = inFixedLists(format) ? std::string() : getFormatName(format);
        for (std::size_t i = 0; i < dataTypes().size(); ++i) {
            const DataType& type = dataTypes()[i];
            if (std::find(type.formats.begin(), type.formats.end(), format) != type.formats.end() ||
                (!name.empty() && type.selectedByName(name))) {
                flagged[i] = true;
            }
        }
    }
    std::vector<std::string> names;
    for (std::size_t i = 0; i < dataTypes().size(); ++i) {
        if (flagged[i]) {
            names.push_back(dataTypes()[i].name);
        }
    }
    return names;
}

ScopedClipboard::ScopedClipboard() {
    openClipboard();
}

ScopedClipboard::~ScopedClipboard() {
    closeClipboard();
}

}  // namespace windows::clipboard::ClipboardHelper
