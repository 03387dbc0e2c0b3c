#include "windows/mfc/Dialog.h"

#include "os/Dialogs.h"
#include "os/Port.h"
#include "windows/mfc/NullDialogView.h"

#include <utility>

namespace windows::mfc {

Dialog::Dialog(const os::DialogTemplate& resource) : dialogTemplate(resource) {}

Dialog::~Dialog() {
    // The derived parts and their controls are gone already: the window's last events must
    // not reach them.
    destroying = true;
    ownView.reset();
}

bool Dialog::create(os::WindowHandle parent) {
    if (hasWindow()) {
        return true;
    }
    std::unique_ptr<os::DialogView> made =
        os::dialogViews().createView(dialogTemplate, *this, parent);
    if (!made) {
        return false;
    }
    // A presenter that closed its window while it was being made keeps none.
    if (currentView == made.get()) {
        ownView = std::move(made);
    }
    return hasWindow();
}

void Dialog::destroy() {
    ownView.reset();
}

int Dialog::doModal(os::WindowHandle parent) {
    return os::dialogViews().runModal(dialogTemplate, *this, parent);
}

void Dialog::attachView(os::DialogView* dialogView) {
    currentView = dialogView;
    if (destroying) {
        return;
    }
    for (Control* control : controls) {
        control->attach(dialogView);
    }
}

os::DialogView& Dialog::view() const {
    if (currentView == nullptr) {
        return NullDialogView::instance();
    }
    return *currentView;
}

void Dialog::on(os::Notification notification, int controlId, Handler handler) {
    messageMap.push_back(Entry{notification, controlId, std::move(handler)});
}

void Dialog::onClicked(int controlId, std::function<void()> handler) {
    on(os::Notification::Clicked, controlId,
       [action = std::move(handler)](const os::DialogEvent&) -> std::intptr_t {
           action();
           return 0;
       });
}

void Dialog::onMessage(unsigned int message, Handler handler) {
    messageMap.push_back(
        Entry{os::Notification::Message, static_cast<std::intptr_t>(message), std::move(handler)});
}

void Dialog::bind(Control& control) {
    controls.push_back(&control);
    if (currentView != nullptr) {
        control.attach(currentView);
    }
}

std::intptr_t Dialog::handleEvent(const os::DialogEvent& event) {
    if (destroying) {
        return 0;
    }
    const bool isMessage = event.notification == os::Notification::Message;
    if (!isMessage && event.controlId != 0) {
        for (Control* control : controls) {
            if (control->getControlId() == event.controlId && control->reflect(event)) {
                return 0;
            }
        }
    }
    const std::intptr_t key =
        isMessage ? static_cast<std::intptr_t>(event.message) : event.controlId;
    for (const Entry& entry : messageMap) {
        if (entry.notification == event.notification && entry.key == key) {
            return entry.handler(event);
        }
    }
    return defaultHandling(event);
}

std::intptr_t Dialog::defaultHandling(const os::DialogEvent& event) {
    switch (event.notification) {
        case os::Notification::InitDialog:
            return onInitDialog() ? 1 : 0;
        case os::Notification::Clicked:
            if (event.controlId == os::id::Ok) {
                onOK();
            } else if (event.controlId == os::id::Cancel) {
                onCancel();
            }
            return 0;
        default:
            return 0;
    }
}

bool Dialog::updateData(bool saveAndValidate) {
    if (currentView == nullptr) {
        return false;
    }
    DataExchange exchange(*currentView, saveAndValidate);
    doDataExchange(exchange);
    return true;
}

void Dialog::endDialog(int result) {
    view().endDialog(result);
}

void Dialog::doDataExchange(DataExchange& /*exchange*/) {}

bool Dialog::onInitDialog() {
    updateData(false);
    return true;
}

void Dialog::onOK() {
    if (updateData(true)) {
        endDialog(os::id::Ok);
    }
}

void Dialog::onCancel() {
    endDialog(os::id::Cancel);
}

void PropertyPage::attachView(os::DialogView* dialogView) {
    firstActivation = true;
    Dialog::attachView(dialogView);
}

bool PropertyPage::onSetActive() {
    if (firstActivation) {
        firstActivation = false;
    } else {
        updateData(false);
    }
    return true;
}

std::intptr_t PropertyPage::defaultHandling(const os::DialogEvent& event) {
    if (event.notification == os::Notification::Activate) {
        return onSetActive() ? 1 : 0;
    }
    return Dialog::defaultHandling(event);
}

}  // namespace windows::mfc
