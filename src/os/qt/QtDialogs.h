#pragma once

#include "os/Dialogs.h"

#include <string>

class QWidget;

namespace os::qt {

class QtDialogViews;

// Message boxes with Qt: the caption, the icon and the buttons the style asks for.
class QtDialogs final : public Dialogs {
public:
    // Owners are found among the views' windows; without views every box is owned by nobody.
    explicit QtDialogs(const QtDialogViews* views = nullptr) : views_(views) {}

    int messageBox(WindowHandle owner, const std::string& text, const std::string& caption,
                   unsigned style) override;

    // Shows a box owned by the widget (or nobody) and waits for the answer. On a thread other
    // than the user interface's the box is handed to that thread and not waited for: the
    // answer is OK, or No for a question, the answers that change nothing.
    static int show(QWidget* owner, const std::string& text, const std::string& caption,
                    unsigned style);

private:
    const QtDialogViews* views_;
};

}  // namespace os::qt
