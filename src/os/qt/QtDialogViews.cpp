#include "os/qt/QtDialogViews.h"

#include "os/Dialogs.h"
#include "os/ErrorCodes.h"

#include <QApplication>
#include <QEventLoop>
#include <QFontMetrics>
#include <QTabWidget>
#include <QThread>
#include <algorithm>
#include <utility>

namespace os::qt {

namespace {

const char* const ViewClassName = "PastrixQtDialog";

}  // namespace

QFont QtDialogViews::dialogFont() {
    return QApplication::font();
}

common::DialogUnits QtDialogViews::dialogUnits() {
    const QFontMetrics metrics(dialogFont());
    // The average of the 52 letters, rounded, and the full character height.
    const int letters =
        metrics.horizontalAdvance("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    return common::DialogUnits((letters / 26 + 1) / 2, metrics.height());
}

QtDialogViews::QtDialogViews(Windows& windows, Errors& errors, QtResources& resources,
                             QueueWakeup* wakeup, std::chrono::milliseconds pollInterval)
    : windows_(windows),
      errors_(errors),
      resources_(resources),
      wakeup_(wakeup),
      pollInterval_(pollInterval) {}

QtDialogViews::~QtDialogViews() = default;

QtMessagePump& QtDialogViews::pump() {
    if (!pump_) {
        pump_ = std::make_unique<QtMessagePump>(
            windows_, wakeup_, [this](const Message& message) { return preTranslate(message); },
            [this](std::exception_ptr failure) { fail(std::move(failure)); }, pollInterval_);
    }
    return *pump_;
}

bool QtDialogViews::preTranslate(const Message& message) {
    // Every running sheet sees the thread's messages before they are dispatched, the
    // newest first.
    for (auto sheet = sheets_.rbegin(); sheet != sheets_.rend(); ++sheet) {
        const DialogEvent event = common::ViewRoutes::eventOf(
            message.message, message.wParam, message.lParam, Notification::PreTranslate);
        if ((*sheet)->deliver(event) != 0) {
            return true;
        }
    }
    return false;
}

std::unique_ptr<QtView> QtDialogViews::make(const DialogTemplate& dialogTemplate,
                                            DialogEvents& events, WindowHandle parent,
                                            QtView::Kind kind, QWidget* parentWidget) {
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) {
        // Widgets need the application object of the user-interface thread.
        errors_.setLastError(error::NotSupported);
        return nullptr;
    }
    WindowClass windowClass;
    windowClass.procedure = &Routes::procedure;
    windowClass.className = ViewClassName;
    if (!windows_.registerClass(windowClass) && errors_.lastError() != error::ClassAlreadyExists) {
        return nullptr;
    }
    const common::DialogUnits units = dialogUnits();
    const Rect size = units.toPixels(0, 0, dialogTemplate.width, dialogTemplate.height);
    WindowCreation creation;
    creation.className = ViewClassName;
    creation.title = dialogTemplate.caption;
    // A dialog is drawn by its Qt window alone: a pop-up would give it a second, empty
    // window of the desktop's own on top of the Qt one whenever it is shown.
    creation.style = kind == QtView::Kind::Page ? ws::Child : 0U;
    creation.width = size.right;
    creation.height = size.bottom;
    creation.parent = parent;
    const WindowHandle window = windows_.createWindow(creation);
    if (window == 0) {
        return nullptr;
    }
    pump();
    auto view = std::make_unique<QtView>(*this, dialogTemplate, events, window, kind, parentWidget);
    open_.push_back(view.get());
    return view;
}

void QtDialogViews::initialise(QtView& view) {
    view.events_.attachView(&view);
    DialogEvent init;
    init.notification = Notification::InitDialog;
    const std::intptr_t focus = view.deliver(init);
    view.initialised_ = true;
    view.lastWidth_ = view.root_->width();
    view.lastHeight_ = view.root_->height();
    if (focus != 0 && view.root_->focusWidget() == nullptr) {
        for (const ControlTemplate& control : view.template_.controls) {
            if (control.id != NoControlId && view.find(control.id) != nullptr &&
                view.setFocus(control.id)) {
                break;
            }
        }
    }
}

void QtDialogViews::forget(QtView* view, WindowHandle window) {
    open_.erase(std::remove(open_.begin(), open_.end(), view), open_.end());
    windows_.destroyWindow(window);
}

QtView* QtDialogViews::find(int templateId) const {
    for (auto view = open_.rbegin(); view != open_.rend(); ++view) {
        if ((*view)->templateId() == templateId) {
            return *view;
        }
    }
    return nullptr;
}

QtView* QtDialogViews::viewOf(WindowHandle window) const {
    // Views live on the user-interface thread; other threads (the tooltip's) only ever ask
    // about windows of their own.
    const QCoreApplication* application = QCoreApplication::instance();
    if (application == nullptr || QThread::currentThread() != application->thread()) {
        return nullptr;
    }
    for (QtView* view : open_) {
        if (view->getHandle() == window) {
            return view;
        }
    }
    return nullptr;
}

std::exception_ptr QtDialogViews::takeFailure() {
    return std::exchange(orphanFailure_, nullptr);
}

void QtDialogViews::fail(std::exception_ptr failure) {
    if (frames_.empty()) {
        if (!orphanFailure_) {
            orphanFailure_ = std::move(failure);
        }
        return;
    }
    ModalFrame* frame = frames_.back();
    if (!frame->failure) {
        frame->failure = std::move(failure);
    }
    frame->loop->exit(0);
}

bool QtDialogViews::endLoopOf(const QtView* view) {
    for (ModalFrame* frame : frames_) {
        if (frame->view == view) {
            frame->loop->exit(0);
            return true;
        }
    }
    return false;
}

std::unique_ptr<DialogView> QtDialogViews::createView(const DialogTemplate& dialogTemplate,
                                                      DialogEvents& events, WindowHandle parent) {
    QtView* parentView = viewOf(parent);
    QWidget* parentWidget = parentView != nullptr ? parentView->widget() : nullptr;
    const bool page = (dialogTemplate.style & ds::Page) != 0;
    std::unique_ptr<QtView> view =
        make(dialogTemplate, events, parent, page ? QtView::Kind::Page : QtView::Kind::Dialog,
             parentWidget);
    if (!view) {
        return nullptr;
    }
    initialise(*view);
    if (parentWidget == nullptr || parentWidget->isVisible()) {
        view->showFrame(sw::Show);
    }
    return view;
}

int QtDialogViews::runModal(const DialogTemplate& dialogTemplate, DialogEvents& events,
                            WindowHandle parent) {
    QtView* parentView = viewOf(parent);
    QWidget* parentWidget = parentView != nullptr ? parentView->widget()->window() : nullptr;
    std::unique_ptr<QtView> view =
        make(dialogTemplate, events, parent, QtView::Kind::Dialog, parentWidget);
    if (!view) {
        return -1;
    }
    view->widget()->setWindowModality(Qt::ApplicationModal);
    QEventLoop loop;
    ModalFrame frame{view.get(), &loop, nullptr};
    frames_.push_back(&frame);
    initialise(*view);
    return runLoop(std::move(view), frame);
}

int QtDialogViews::runSheet(const DialogTemplate& sheetTemplate, DialogEvents& events,
                            const std::vector<SheetPage>& pages, unsigned flags,
                            WindowHandle parent) {
    QtView* parentView = viewOf(parent);
    QWidget* parentWidget = parentView != nullptr ? parentView->widget()->window() : nullptr;
    std::unique_ptr<QtView> sheet =
        make(sheetTemplate, events, parent, QtView::Kind::Sheet, parentWidget);
    if (!sheet) {
        return -1;
    }
    sheet->sheetFlags_ = flags;
    QEventLoop loop;
    ModalFrame frame{sheet.get(), &loop, nullptr};
    frames_.push_back(&frame);
    sheets_.push_back(sheet.get());
    for (const SheetPage& page : pages) {
        if (page.dialogTemplate == nullptr || page.events == nullptr) {
            continue;
        }
        std::unique_ptr<QtView> made = make(*page.dialogTemplate, *page.events, sheet->getHandle(),
                                            QtView::Kind::Page, nullptr);
        if (!made) {
            frames_.pop_back();
            sheets_.pop_back();
            return -1;
        }
        QtView& madePage = *made;
        sheet->addPage(std::move(made));
        initialise(madePage);
    }
    sheet->layoutSheet();
    if (!sheet->pages_.empty()) {
        sheet->tabs_->setCurrentIndex(0);
        sheet->tabChanged(0);
    }
    initialise(*sheet);
    return runLoop(std::move(sheet), frame);
}

int QtDialogViews::runLoop(std::unique_ptr<QtView> view, ModalFrame& frame) {
    const auto running = [&] { return !view->hasEnded() && !frame.failure; };
    view->pendingShow_ = true;
    if (view->kind() == QtView::Kind::Sheet && running()) {
        // What the sheet posted to itself while it was made comes first, so that a sheet
        // that hides itself at once never shows.
        pump().drain();
    }
    if (running() && view->pendingShow_) {
        view->showFrame(sw::Show);
    }
    while (running()) {
        frame.loop->exec();
    }
    frames_.erase(std::remove(frames_.begin(), frames_.end(), &frame), frames_.end());
    sheets_.erase(std::remove(sheets_.begin(), sheets_.end(), view.get()), sheets_.end());
    const int result = view->result();
    view.reset();
    if (frame.failure) {
        std::rethrow_exception(frame.failure);
    }
    return result;
}

}  // namespace os::qt
