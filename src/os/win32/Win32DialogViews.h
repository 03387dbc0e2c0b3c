#pragma once

#include "os/DialogView.h"
#include "os/Types.h"

#include <cstdint>
#include <exception>
#include <memory>
#include <vector>

namespace os::win32 {

class Win32View;

// The system's own dialog manager and property sheet as the program's dialog toolkit:
// templates become in-memory dialog templates, modal dialogs and the sheet run in loops of
// this class, and every running sheet sees the thread's messages before they are dispatched.
// Used on the user-interface thread only.
class Win32DialogViews final : public DialogViews {
    friend class Win32View;

public:
    // `instance` is the module whose resources hold the program's icon (0: the executable).
    explicit Win32DialogViews(InstanceHandle instance = 0);
    ~Win32DialogViews() override;
    Win32DialogViews(const Win32DialogViews&) = delete;
    Win32DialogViews& operator=(const Win32DialogViews&) = delete;

    std::unique_ptr<DialogView> createView(const DialogTemplate& dialogTemplate,
                                           DialogEvents& events, WindowHandle parent) override;
    int runModal(const DialogTemplate& dialogTemplate, DialogEvents& events,
                 WindowHandle parent) override;
    int runSheet(const DialogTemplate& sheetTemplate, DialogEvents& events,
                 const std::vector<SheetPage>& pages, unsigned flags, WindowHandle parent) override;

    // The newest open dialog, page or sheet made from the template, or nullptr.
    Win32View* find(int templateId) const;
    // The open view whose window this is, or nullptr.
    Win32View* viewOf(WindowHandle window) const;
    // A presenter's failure that no modal loop was running to take, once.
    std::exception_ptr takeFailure();

private:
    struct ModalFrame {
        Win32View* view = nullptr;
        std::exception_ptr failure;
    };
    struct PostedMessage {
        void* window = nullptr;
        unsigned int message = 0;
        std::uintptr_t wParam = 0;
        std::intptr_t lParam = 0;
    };

    // Runs the thread's messages until the view ends; false when WM_QUIT came.
    void runLoop(Win32View& view, ModalFrame& frame);
    // The sheets' look at a message before it is dispatched; true when one consumed it.
    bool preTranslate(const PostedMessage& message);
    // A message of the program's own (the WM_APP range) that another loop than ours
    // dispatched to a view's window: the sheets see it as if our loop had taken it.
    bool preTranslateForeign(const PostedMessage& message);
    void runDeferred();
    void fail(std::exception_ptr failure);
    void opened(Win32View& view);
    void closed(Win32View& view);
    std::intptr_t dialogMessage(Win32View& view, void* window, unsigned int message,
                                std::uintptr_t wParam, std::intptr_t lParam);
    std::intptr_t sheetMessage(Win32View& sheet, void* window, unsigned int message,
                               std::uintptr_t wParam, std::intptr_t lParam, bool& handled);

    // Edit boxes tell their view of key releases.
    static void watchEdit(void* edit, Win32View& view);
    // Posted by a list to its dialog when its selection may have changed.
    static unsigned int selectionMessage();

    // The procedures the system calls, with its own types.
    struct Procedures;
    friend struct Procedures;

    InstanceHandle instance_;
    std::vector<Win32View*> open_;
    std::vector<ModalFrame*> frames_;
    std::vector<Win32View*> sheets_;
    std::exception_ptr orphanFailure_;
    // The message our loop is dispatching after the sheets saw it, so that the window
    // procedure does not show it to them a second time.
    const PostedMessage* dispatching_ = nullptr;
    bool translating_ = false;
    std::vector<PostedMessage> deferred_;
};

}  // namespace os::win32
