#include "config/tab/AbbreviationDialog.h"

#include "config/tab/DialogTemplates.h"
#include "os/Dialogs.h"

#include <vector>

namespace products::pastrix::config::tab {

namespace {

namespace ids = templates::abbreviation;

std::string conflictMessage(const coolkeys::CKEntry& inner, const coolkeys::CKEntry& outer) {
    return "Conflicting abbreviations found. The '" + inner.getAbbreviation() +
           "' abbreviation will be expanded when '" + outer.getAbbreviation() + "' expands to '" +
           outer.getExpand() + "'\nThat is, '" + inner.getAbbreviation() + "' is a substring of '" +
           outer.getExpand() + "'";
}

}  // namespace

AbbreviationDialog::AbbreviationDialog(windows::reporter::ErrorReporter& errorReporter,
                                       workspace::Workspace& activeWorkspace,
                                       const std::string& abbreviationText,
                                       const std::string& associatedText)
    : Dialog(ids::dialogTemplate()),
      abbreviation(abbreviationText),
      text(associatedText),
      workspace(activeWorkspace),
      reporter(errorReporter) {}

void AbbreviationDialog::doDataExchange(windows::mfc::DataExchange& exchange) {
    exchange.text(ids::Abbreviation, abbreviation);
    exchange.text(ids::Text, text);
}

void AbbreviationDialog::onOK() {
    if (!updateData(true)) {
        return;
    }
    if (abbreviation.empty()) {
        reporter.showError("You must specify an abbreviation first.");
        return;
    }
    if (abbreviation.size() > coolkeys::CKEntry::MaxAbbreviationLength) {
        // The file keeps the abbreviation in a field of fixed size; a longer one could
        // never be saved.
        reporter.showError("The abbreviation is too long. It may have at most " +
                           std::to_string(coolkeys::CKEntry::MaxAbbreviationLength) +
                           " characters.");
        return;
    }
    if (text.empty()) {
        reporter.showError("You must specify an assosiated text first.");
        return;
    }
    candidate.setAbbreviation(abbreviation);
    candidate.setExpand(text);
    if (const auto conflict = findConflict(workspace.getCoolKeys(), candidate)) {
        reporter.showError(*conflict);
        return;
    }
    endDialog(os::id::Ok);
}

std::optional<std::string> AbbreviationDialog::findConflict(
    const workspace::Workspace::CoolKeyList& entries, const coolkeys::CKEntry& candidate) {
    std::vector<const coolkeys::CKEntry*> all;
    all.reserve(entries.size() + 1);
    for (const auto& entry : entries) {
        if (entry) {
            all.push_back(entry.get());
        }
    }
    all.push_back(&candidate);
    for (const coolkeys::CKEntry* outer : all) {
        for (const coolkeys::CKEntry* inner : all) {
            // An empty abbreviation never fires, so it cannot conflict.
            if (!inner->getAbbreviation().empty() &&
                outer->getExpand().find(inner->getAbbreviation()) != std::string::npos) {
                return conflictMessage(*inner, *outer);
            }
        }
    }
    return std::nullopt;
}

}  // namespace products::pastrix::config::tab
