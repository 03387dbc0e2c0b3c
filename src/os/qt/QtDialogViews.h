#pragma once

#include "os/DialogView.h"
#include "os/Errors.h"
#include "os/Windows.h"
#include "os/common/ViewRoutes.h"
#include "os/qt/QtMessagePump.h"
#include "os/qt/QtResources.h"
#include "os/qt/QtView.h"
#include "os/qt/QueueWakeup.h"

#include <QFont>
#include <chrono>
#include <exception>
#include <memory>
#include <vector>

class QEventLoop;

namespace os::qt {

// The Qt toolkit: dialogs and pages from their templates, modal loops that are Qt event
// loops, and the pump that brings the thread's posted messages into them. Must be used on
// the thread that runs the QApplication.
class QtDialogViews final : public DialogViews {
    friend class QtView;

public:
    // `windows` is the desktop's window system, which keeps the views' windows and queues.
    QtDialogViews(Windows& windows, Errors& errors, QtResources& resources,
                  QueueWakeup* wakeup = nullptr,
                  std::chrono::milliseconds pollInterval = std::chrono::milliseconds(10));
    ~QtDialogViews() override;
    QtDialogViews(const QtDialogViews&) = delete;
    QtDialogViews& operator=(const QtDialogViews&) = delete;

    std::unique_ptr<DialogView> createView(const DialogTemplate& dialogTemplate,
                                           DialogEvents& events, WindowHandle parent) override;
    int runModal(const DialogTemplate& dialogTemplate, DialogEvents& events,
                 WindowHandle parent) override;
    int runSheet(const DialogTemplate& sheetTemplate, DialogEvents& events,
                 const std::vector<SheetPage>& pages, unsigned flags, WindowHandle parent) override;

    // The newest open dialog or page made from the template, or nullptr.
    QtView* find(int templateId) const;
    // The open dialog or page whose window this is, or nullptr.
    QtView* viewOf(WindowHandle window) const;
    // The pump of the posted messages; it starts with the first view.
    QtMessagePump& pump();
    QtResources& resources() { return resources_; }
    // A presenter's failure that no modal loop was running to take, once.
    std::exception_ptr takeFailure();

private:
    struct ModalFrame {
        QtView* view = nullptr;
        QEventLoop* loop = nullptr;
        std::exception_ptr failure;
    };

    using Routes = common::ToolkitRoutes<QtDialogViews>;
    // Templates name the system's dialog font, which is the desktop's own.
    static QFont dialogFont();
    // The dialog units of that font, measured as the system the templates were made for
    // measures them.
    static common::DialogUnits dialogUnits();

    std::unique_ptr<QtView> make(const DialogTemplate& dialogTemplate, DialogEvents& events,
                                 WindowHandle parent, QtView::Kind kind, QWidget* parentWidget);
    void initialise(QtView& view);
    // Shows the dialog, runs its loop until it ends and takes it down; throws a failure of
    // its presenters on.
    int runLoop(std::unique_ptr<QtView> view, ModalFrame& frame);
    void fail(std::exception_ptr failure);
    // Ends the modal loop of the view; false when it has none.
    bool endLoopOf(const QtView* view);
    void forget(QtView* view, WindowHandle window);
    bool preTranslate(const Message& message);

    Windows& windows_;
    Errors& errors_;
    QtResources& resources_;
    QueueWakeup* wakeup_;
    std::chrono::milliseconds pollInterval_;
    std::unique_ptr<QtMessagePump> pump_;
    std::vector<QtView*> open_;
    std::vector<ModalFrame*> frames_;
    std::vector<QtView*> sheets_;
    std::exception_ptr orphanFailure_;
};

}  // namespace os::qt
