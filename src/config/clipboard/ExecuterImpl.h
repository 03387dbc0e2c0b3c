#pragma once

#include "config/clipboard/Executer.h"
#include "config/clipboard/KeystrokeTable.h"
#include "config/workspace/Workspace.h"
#include "windows/clipboard/Clipboard.h"

namespace products::pastrix::config::clipboard {

// Copies and pastes through the system clipboard and the keys sent to the application in front
// (Ctrl+C and Ctrl+V, or what the keystroke table gives for its window class), keeping the user's
// own clipboard aside meanwhile and putting it back afterwards.
class ExecuterImpl final : public Executer {
public:
    explicit ExecuterImpl(workspace::Workspace& workspace);

    bool startCopy(int key) override;
    bool startPaste(int key) override;
    void finishCopy(int key) override;
    void finishPaste(int key) override;

    // The keystrokes by window class; the shipped table until one is set.
    void setKeystrokes(KeystrokeTable keystrokes);
    const KeystrokeTable& getKeystrokes() const { return _keystrokes; }

    // The user's clipboard as it was when the last operation started.
    const windows::clipboard::Clipboard& getSavedClipboard() const { return savedClipboard; }

private:
    workspace::Workspace& _workspace;
    KeystrokeTable _keystrokes;
    windows::clipboard::Clipboard savedClipboard{"Clipboard"};
};

}  // namespace products::pastrix::config::clipboard
