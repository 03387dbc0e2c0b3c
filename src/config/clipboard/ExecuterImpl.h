#pragma once

#include "config/clipboard/Executer.h"
#include "config/workspace/Workspace.h"
#include "windows/clipboard/Clipboard.h"

namespace products::pastrix::config::clipboard {

// Copies and pastes through the system clipboard and the keys Ctrl+C and Ctrl+V sent to the
// application in front, keeping the user's own clipboard aside meanwhile and putting it back
// afterwards.
class ExecuterImpl final : public Executer {
public:
    explicit ExecuterImpl(workspace::Workspace& workspace);

    bool startCopy(int key) override;
    bool startPaste(int key) override;
    void finishCopy(int key) override;
    void finishPaste(int key) override;

    // The user's clipboard as it was when the last operation started.
    const windows::clipboard::Clipboard& getSavedClipboard() const { return savedClipboard; }

private:
    workspace::Workspace& _workspace;
    windows::clipboard::Clipboard savedClipboard{"Clipboard"};
};

}  // namespace products::pastrix::config::clipboard
