#pragma once

#include "config/coolkeys/CKEntry.h"
#include "config/workspace/Workspace.h"
#include "io/file/PlainFileReader.h"
#include "io/file/PlainFileWriter.h"
#include "windows/mfc/Dialog.h"
#include "windows/reporter/ErrorReporter.h"

#include <optional>
#include <string>

namespace products::pastrix::config::tab {

// Edits one Cool Key: its abbreviation and the text it expands to. OK is refused, with a
// message, while either is missing, the abbreviation does not fit its file, or the entry
// would make some abbreviation fire inside an associated text.
class AbbreviationDialog : public windows::mfc::Dialog {
public:
    AbbreviationDialog(windows::reporter::ErrorReporter& errorReporter,
                       workspace::Workspace& activeWorkspace, const std::string& abbreviationText,
                       const std::string& associatedText);

    const std::string& getAbbreviation() const { return abbreviation; }
    const std::string& getText() const { return text; }

    // The stored entries, then the candidate: the first abbreviation found inside an
    // associated text, searched text by text, gives the message; none, no conflict.
    static std::optional<std::string> findConflict(const workspace::Workspace::CoolKeyList& entries,
                                                   const coolkeys::CKEntry& candidate);

protected:
    void doDataExchange(windows::mfc::DataExchange& exchange) override;
    void onOK() override;

private:
    std::string abbreviation;
    std::string text;
    io::file::PlainFileReader reader;
    io::file::PlainFileWriter writer;
    coolkeys::CKEntry candidate{reader, writer};
    workspace::Workspace& workspace;
    windows::reporter::ErrorReporter& reporter;
};

}  // namespace products::pastrix::config::tab
