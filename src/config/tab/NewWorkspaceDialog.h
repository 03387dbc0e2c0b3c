#pragma once

#include "windows/mfc/Dialog.h"
#include "windows/reporter/ErrorReporter.h"

#include <optional>
#include <string>

namespace products::pastrix::config::tab {

// Asks for the name of a new workspace and makes its directory below the workspace root.
// OK is refused, with a message, for a name that is not one directory name or whose
// directory cannot be made; a directory that exists already counts as made.
class NewWorkspaceDialog : public windows::mfc::Dialog {
public:
    // `root` is the workspace root directory, ending in a separator.
    NewWorkspaceDialog(windows::reporter::ErrorReporter& errorReporter, std::string root,
                       os::WindowHandle parent = 0);

    // Runs the dialog over its parent window.
    int DoModal();
    // The workspace made, after OK.
    const std::string& getName() const { return name; }

    // Why the name cannot be a workspace: a workspace is exactly one directory below the
    // root, so "." and "..", path separators and characters no file name can hold are
    // refused. Nothing for a usable name. Blanks around the name are not looked at.
    static std::optional<std::string> whyNotAWorkspaceName(const std::string& workspaceName);
    // The name without the blanks around it.
    static std::string trim(const std::string& text);

protected:
    void doDataExchange(windows::mfc::DataExchange& exchange) override;
    void onOK() override;

private:
    windows::reporter::ErrorReporter& reporter;
    std::string rootDirectory;
    os::WindowHandle parentWindow;
    std::string typed;
    std::string name;
};

}  // namespace products::pastrix::config::tab
