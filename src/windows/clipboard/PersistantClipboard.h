#pragma once

#include "io/file/FileInput.h"
#include "io/file/FileReader.h"
#include "io/file/FileWriter.h"
#include "windows/clipboard/Clipboard.h"

#include <cstddef>
#include <string>

namespace windows::clipboard {

// A snapshot that is kept in a file of its own between runs.
//
// File layout (integers are unsigned 32-bit little-endian):
//   0    count of entries
//   4    caption, 255 bytes: the text, a zero byte, zeros after it
//   259  one byte of padding, ignored
//   260  the entries, back to back: format, size (never 0), then the block's `size` bytes
class PersistantClipboard : public Clipboard {
public:
    static constexpr std::size_t HeaderSize = 260;
    static constexpr std::size_t CaptionFieldSize = 255;
    // The longest caption the file keeps; longer captions are cut.
    static constexpr std::size_t MaxCaptionLength = CaptionFieldSize - 1;
    static constexpr std::size_t EntryHeadSize = 8;

    PersistantClipboard(io::file::FileReader& fileReader, io::file::FileWriter& fileWriter,
                        std::string snapshotName);

    // Writes the whole snapshot to the file, replacing its previous content.
    void save(const std::string& fileName);
    // Replaces the snapshot by the file's content. A broken file leaves the snapshot empty.
    void load(const std::string& fileName);

    // The caption as the file keeps it: at most MaxCaptionLength bytes, never ending inside
    // a character of several bytes.
    static std::string fileCaption(const std::string& text);

private:
    void parse(io::file::FileInput& data);

    io::file::FileReader& reader;
    io::file::FileWriter& writer;
};

}  // namespace windows::clipboard
