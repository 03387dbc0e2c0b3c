#pragma once

#include "io/file/FileReader.h"
#include "io/file/FileWriter.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace products::pastrix::config::coolkeys {

// One Cool Key, an abbreviation and the text it expands to, with the file that keeps it.
//
// File layout: the abbreviation in a 256-byte field, ended by a zero byte with zeros after
// it, then the expansion's bytes to the end of the file.
class CKEntry {
public:
    static constexpr std::size_t AbbreviationFieldSize = 256;
    static constexpr std::size_t MaxAbbreviationLength = AbbreviationFieldSize - 1;

    CKEntry(io::file::FileReader& fileReader, io::file::FileWriter& fileWriter);
    virtual ~CKEntry();
    CKEntry(const CKEntry&) = delete;
    CKEntry& operator=(const CKEntry&) = delete;

    // Fills the entry from the file; a failed load leaves the entry unchanged.
    void load(const std::string& fileName);
    // Writes the whole file; an abbreviation that does not fit the field, or none at all, is
    // refused and nothing is written.
    void save(const std::string& fileName);

    const std::string& getAbbreviation() const { return _abbreviation; }
    void setAbbreviation(const std::string& abbreviation);
    const std::string& getExpand() const { return _expand; }
    void setExpand(const std::string& expand) { _expand = expand; }
    const std::string& getFilename() const { return filename; }

    // Grows with every change that may alter the abbreviation of any entry: entries made,
    // loaded, renamed or destroyed. The Cool Key matcher tells by it whether its index of
    // abbreviations still holds.
    static std::uint64_t getAbbreviationRevision();

private:
    io::file::FileReader& reader;
    io::file::FileWriter& writer;
    std::string filename;
    std::string _abbreviation;
    std::string _expand;
};

}  // namespace products::pastrix::config::coolkeys
