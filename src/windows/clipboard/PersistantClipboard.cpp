#include "windows/clipboard/PersistantClipboard.h"

#include "platform/assertion/Assertion.h"
#include "windows/clipboard/ClipboardException.h"
#include "windows/memory/WindowsMemoryHelper.h"

#include <algorithm>
#include <cstdint>
#include <ios>
#include <memory>
#include <utility>

namespace windows::clipboard {

namespace memory = windows::memory::WindowsMemoryHelper;

namespace {

// Shared, fixed memory: the flags slot blocks have always been made with.
constexpr unsigned SlotBlockFlags = 0x2000;

std::uint32_t readNumber(const char* data, std::size_t offset) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        value |= static_cast<std::uint32_t>(static_cast<unsigned char>(data[offset + i]))
                 << (8 * i);
    }
    return value;
}

void appendNumber(std::string& data, std::uint32_t value) {
    for (std::size_t i = 0; i < 4; ++i) {
        data.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    }
}

bool isContinuationByte(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

[[noreturn]] void broken(const std::string& text) {
    throw CouldNotLoadPersistantClipboardException(text);
}

}  // namespace

PersistantClipboard::PersistantClipboard(io::file::FileReader& fileReader,
                                         io::file::FileWriter& fileWriter, std::string snapshotName)
    : Clipboard(std::move(snapshotName)), reader(fileReader), writer(fileWriter) {}

std::string PersistantClipboard::fileCaption(const std::string& text) {
    if (text.size() <= MaxCaptionLength) {
        return text;
    }
    // Window titles may be UTF-8: step back over at most three continuation bytes so that
    // no character is cut in two.
    std::size_t cut = MaxCaptionLength;
    for (int i = 0; i < 3 && cut > 0 && isContinuationByte(text[cut]); ++i) {
        --cut;
    }
    if (isContinuationByte(text[cut])) {
        cut = MaxCaptionLength;
    }
    return text.substr(0, cut);
}

void PersistantClipboard::save(const std::string& fileName) {
    try {
        std::string body;
        std::uint32_t counter = 0;
        for (const ClipboardEntry& entry : getEntries()) {
            const os::MemoryHandle memory = entry.memory;
            PX_ASSERT(memory);
            const std::size_t size = memory::globalSize(memory);
            PX_ASSERT(size != 0);
            appendNumber(body, entry.format);
            appendNumber(body, static_cast<std::uint32_t>(size));
            const char* bytes = static_cast<const char*>(memory::globalLock(memory));
            body.append(bytes, size);
            memory::globalUnlock(memory);
            ++counter;
        }
        std::string header;
        appendNumber(header, counter);
        header += fileCaption(getCaption());
        header.resize(HeaderSize, '\0');
        writer.write(fileName, header + body, std::ios_base::openmode{});
    } catch (const exceptions::Exception& e) {
        throw CouldNotSavePersistantClipboardException(
            "Error when trying to save clipboard to file. Filename: " + fileName +
            "\nException: " + e.getMessage());
    } catch (...) {
        PX_ASSERT(false);
    }
}

void PersistantClipboard::load(const std::string& fileName) {
    try {
        const std::unique_ptr<io::file::FileInput> input = reader.open(fileName);
        clear();
        try {
            parse(*input);
        } catch (...) {
            // Half a snapshot is of no use to anybody.
            clear();
            throw;
        }
    } catch (const exceptions::Exception& e) {
        throw CouldNotLoadPersistantClipboardException(
            "Error when trying to load clipboard from file. Filename: " + fileName +
            "\nException: " + e.getMessage());
    } catch (...) {
        PX_ASSERT(false);
    }
}

void PersistantClipboard::parse(io::file::FileInput& data) {
    // Each entry's bytes go from the file straight into its memory block.
    const std::uint64_t offset = HeaderSize;
    PX_ASSERT(offset <= data.size());
    if (offset > data.size()) {
        broken("The file is smaller than the header of a clipboard file.");
    }
    char header[HeaderSize];
    data.read(header, HeaderSize);
    const std::uint32_t count = readNumber(header, 0);
    const char* const captionBegin = header + 4;
    const char* const captionEnd = std::find(captionBegin, captionBegin + CaptionFieldSize, '\0');
    if (captionEnd == captionBegin + CaptionFieldSize) {
        broken("The caption in the header of the file is not ended by a zero byte.");
    }
    const std::string captionText(captionBegin, captionEnd);

    for (std::uint32_t i = 0; i < count; ++i) {
        if (data.remaining() < EntryHeadSize) {
            broken("The file ends inside the head of a clipboard entry.");
        }
        char head[EntryHeadSize];
        data.read(head, EntryHeadSize);
        const unsigned format = readNumber(head, 0);
        const std::uint32_t size = readNumber(head, 4);
        if (size > data.remaining()) {
            broken("The size of the clipboard data is bigger than the acctual file.");
        }
        if (size == 0) {
            broken("The file holds a clipboard entry without data.");
        }
        const os::MemoryHandle block = memory::globalAlloc(SlotBlockFlags, size);
        add(ClipboardEntry{block, format});
        void* bytes = memory::globalLock(block);
        try {
            data.read(bytes, size);
        } catch (...) {
            memory::globalUnlock(block);
            throw;
        }
        memory::globalUnlock(block);
    }
    setCaption(captionText);
    setCaptured(true);
}

}  // namespace windows::clipboard
