#include "config/coolkeys/CKEntry.h"

#include "config/coolkeys/CoolKeysException.h"
#include "platform/assertion/Assertion.h"

#include <algorithm>
#include <atomic>
#include <ios>

namespace products::pastrix::config::coolkeys {

namespace {

void expectFileName(const std::string& filename) {
    PX_ASSERT(filename != "");
}

std::atomic<std::uint64_t> abbreviationRevision{0};

void abbreviationsChanged() {
    abbreviationRevision.fetch_add(1, std::memory_order_relaxed);
}

}  // namespace

CKEntry::CKEntry(io::file::FileReader& fileReader, io::file::FileWriter& fileWriter)
    : reader(fileReader), writer(fileWriter) {
    abbreviationsChanged();
}

CKEntry::~CKEntry() {
    abbreviationsChanged();
}

std::uint64_t CKEntry::getAbbreviationRevision() {
    return abbreviationRevision.load(std::memory_order_relaxed);
}

void CKEntry::setAbbreviation(const std::string& abbreviation) {
    _abbreviation = abbreviation;
    abbreviationsChanged();
}

void CKEntry::load(const std::string& fileName) {
    try {
        const std::string data = reader.read(fileName, 0);
        if (data.size() < AbbreviationFieldSize) {
            throw CouldNotLoadCKEntryException(
                "Invalid Cool Keys file. The size of the file is smaller than the header.");
        }
        const auto fieldEnd = data.begin() + AbbreviationFieldSize;
        const auto abbreviationEnd = std::find(data.begin(), fieldEnd, '\0');
        if (abbreviationEnd == fieldEnd) {
            throw CouldNotLoadCKEntryException(
                "Invalid Cool Keys file. The abbreviation is not ended by a zero byte.");
        }
        _abbreviation.assign(data.begin(), abbreviationEnd);
        abbreviationsChanged();
        _expand.assign(fieldEnd, data.end());
        filename = fileName;
    } catch (const exceptions::Exception& e) {
        throw CouldNotLoadCKEntryException(
            "Error when trying to load a Cool Keys entry. \nFilename: " + fileName + "\n" +
            e.getMessage());
    }
}

void CKEntry::save(const std::string& fileName) {
    PX_ASSERT(_expand.size() > 0);
    PX_ASSERT(_abbreviation.size() > 0);
    expectFileName(fileName);
    try {
        // An abbreviation the field cannot hold whole would come back as another one.
        if (_abbreviation.empty()) {
            throw CouldNotSaveEntryCKException("A Cool Key needs an abbreviation.");
        }
        if (_abbreviation.size() > MaxAbbreviationLength) {
            throw CouldNotSaveEntryCKException("The abbreviation is longer than " +
                                               std::to_string(MaxAbbreviationLength) +
                                               " characters.");
        }
        if (_abbreviation.find('\0') != std::string::npos) {
            throw CouldNotSaveEntryCKException("The abbreviation holds a zero character.");
        }
        std::string data = _abbreviation;
        data.resize(AbbreviationFieldSize, '\0');
        data += _expand;
        writer.write(fileName, data, std::ios_base::openmode{});
    } catch (const exceptions::Exception& e) {
        throw CouldNotSaveEntryCKException(
            "Error when trying to save a Cool Keys entry. \nFilename: " + fileName + "\n" +
            e.getMessage());
    }
    this->filename = fileName;
}

}  // namespace products::pastrix::config::coolkeys
