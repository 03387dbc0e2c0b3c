#include "config/tab/NewWorkspaceDialog.h"

#include "config/tab/DialogTemplates.h"
#include "config/workspace/WorkspaceDirectory.h"
#include "os/Dialogs.h"
#include "windows/file/WindowsFileException.h"
#include "windows/file/WindowsFileHelper.h"

#include <algorithm>
#include <utility>

namespace products::pastrix::config::tab {

namespace {

namespace ids = templates::newworkspace;

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool isControl(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7F;
}

}  // namespace

NewWorkspaceDialog::NewWorkspaceDialog(windows::reporter::ErrorReporter& errorReporter,
                                       std::string root, os::WindowHandle parent)
    : Dialog(ids::dialogTemplate()),
      reporter(errorReporter),
      rootDirectory(std::move(root)),
      parentWindow(parent) {}

int NewWorkspaceDialog::DoModal() {
    return doModal(parentWindow);
}

std::string NewWorkspaceDialog::trim(const std::string& text) {
    const auto first = std::find_if_not(text.begin(), text.end(), isBlank);
    const auto last = std::find_if_not(text.rbegin(), text.rend(), isBlank).base();
    return first < last ? std::string(first, last) : std::string();
}

std::optional<std::string> NewWorkspaceDialog::whyNotAWorkspaceName(
    const std::string& workspaceName) {
    if (workspaceName.empty()) {
        return "You must give the new workspace a name.";
    }
    if (workspaceName == "." || workspaceName == "..") {
        return "The workspace name \"" + workspaceName +
               "\" is not allowed. A workspace is a folder of its own, so its name may not be "
               "\".\" or \"..\".";
    }
    if (workspaceName.find_first_of("/\\") != std::string::npos) {
        return "The workspace name may not contain \"/\" or \"\\\". A workspace is a folder of "
               "its own in the program's folder.";
    }
    if (std::any_of(workspaceName.begin(), workspaceName.end(), isControl)) {
        return "The workspace name may not contain line breaks, tabs or other control "
               "characters.";
    }
    return std::nullopt;
}

void NewWorkspaceDialog::doDataExchange(windows::mfc::DataExchange& exchange) {
    exchange.text(ids::Name, typed);
}

void NewWorkspaceDialog::onOK() {
    if (!updateData(true)) {
        return;
    }
    const std::string candidate = trim(typed);
    if (const auto reason = whyNotAWorkspaceName(candidate)) {
        // The dialog stays open for another name.
        reporter.showError(*reason);
        return;
    }
    try {
        windows::file::WindowsFileHelper::createDirectory(rootDirectory + candidate);
        // An existing entry of that name counts as created, and it may be a link that leads
        // out of the root.
        if (const auto reason =
                workspace::WorkspaceDirectory::whyNotAWorkspace(rootDirectory, candidate)) {
            throw windows::file::CouldNotCreateDirectoryException(
                "Could not create the directory: " + rootDirectory + candidate + ". " + *reason);
        }
    } catch (const windows::file::CouldNotCreateDirectoryException& e) {
        reporter.showError("Error when trying to create the new workspace " + candidate +
                           ".\nPath " + rootDirectory + "\n" + e.getMessage());
        return;
    }
    name = candidate;
    endDialog(os::id::Ok);
}

}  // namespace products::pastrix::config::tab
