#include "config/tab/PropertySheetBase.h"

#include "config/clipboard/PXToolTip.h"
#include "config/tab/AboutTab.h"
#include "config/tab/DialogTemplates.h"
#include "exceptions/Exception.h"
#include "os/Port.h"
#include "platform/assertion/Assertion.h"
#include "windows/window/StatusArea.h"
#include "windows/window/ToolTip.h"
#include "windows/window/WindowExceptions.h"

#include <utility>

namespace products::pastrix::config::tab {

namespace ids = templates::sheet;

PropertySheetBase::PropertySheetBase(windows::reporter::ErrorReporter& reporter,
                                     ::util::config::Config& configuration, PXTab& slots,
                                     CCTab& coolKeys, std::string productName,
                                     clipboard::PXToolTipFactory& factory, bool minimized)
    : Dialog(ids::dialogTemplate()),
      errorReporter(reporter),
      config(configuration),
      slotPage(slots),
      coolKeysPage(coolKeys),
      caption(std::move(productName)),
      toolTipFactory(factory),
      startMinimized(minimized) {
    onClicked(ids::Help, [this] { openManual(errorReporter); });
    on(os::Notification::SystemCommand, 0,
       [this](const os::DialogEvent& event) { return onSystemCommand(event); });
    on(os::Notification::Minimized, 0, [this](const os::DialogEvent&) -> std::intptr_t {
        onMinimized();
        return 0;
    });
    on(os::Notification::PreTranslate, 0, [this](const os::DialogEvent& event) -> std::intptr_t {
        return preTranslateMessage(event) ? 1 : 0;
    });
    onMessage(HelpCommand, [this](const os::DialogEvent&) -> std::intptr_t {
        openManual(errorReporter);
        return 1;
    });
    on(os::Notification::Destroy, 0, [this](const os::DialogEvent&) -> std::intptr_t {
        onDestroy();
        return 0;
    });
    onMessage(StatusAreaCallbackMessage,
              [this](const os::DialogEvent& event) { return onStatusAreaCallback(event); });
}

PropertySheetBase::~PropertySheetBase() {
    // The tooltip goes with its thread: nothing may use it afterwards.
    stopToolTip();
    toolTipThread.reset();
}

int PropertySheetBase::DoModal() {
    std::vector<os::SheetPage> sheetPages;
    for (windows::mfc::PropertyPage* page : pages) {
        sheetPages.push_back(os::SheetPage{&page->getTemplate(), page});
    }
    const unsigned flags = os::psh::NoApplyNow | os::psh::PropSheetPage | os::psh::UseIconId;
    int result = -1;
    try {
        result = os::dialogViews().runSheet(getTemplate(), *this, sheetPages, flags, 0);
    } catch (...) {
        stopToolTip();
        throw;
    }
    stopToolTip();
    return result;
}

bool PropertySheetBase::onInitDialog() {
    // What the window's creation does: tips and the application icon.
    view().enableToolTips(true);
    view().setIcon(windows::window::loadIcon(IconId));
    view().setCaption(getTitle());

    const bool focus = Dialog::onInitDialog();
    view().modifyStyle(0, os::ws::MinimizeBox | os::ws::SysMenu);
    const bool menu = view().insertSystemMenuItem(3, os::sc::Minimize, "Mi&nimize");
    PX_ASSERT(menu);

    startToolTip();

    if (startMinimized) {
        // Posted, so that the sheet hides only once it is fully shown.
        os::windows().postMessage(getHandle(), MinimizeRequestMessage, 0, 0);
    }

    view().setText(ids::Cancel, "Shutdown");
    view().setText(ids::Ok, "Minimize");
    view().setText(ids::Help, "Help");
    return focus;
}

void PropertySheetBase::SetTitle(const std::string& text) {
    title = text;
    view().setCaption(getTitle());
}

void PropertySheetBase::startToolTip() {
    toolTipFactory.setParent(getHandle());
    toolTipThread =
        std::make_unique<windows::window::ThreadedWindowX>(toolTipFactory, ToolTipPollInterval);
    auto* toolTip = dynamic_cast<clipboard::PXToolTip*>(toolTipThread->getWindowX());
    windows::window::ToolTip::setInstance(toolTip);
    slotPage.attachToolTip(toolTip);
    toolTipThread->startLoop();
}

void PropertySheetBase::stopToolTip() {
    if (!toolTipThread) {
        return;
    }
    // The thread drops the tooltip once its loop ends: the slot handler must not keep it.
    slotPage.attachToolTip(nullptr);
    toolTipThread->stop();
}

void PropertySheetBase::onOK() {
    moveToStatusArea();
}

void PropertySheetBase::onCancel() {
    endDialog(os::id::Cancel);
}

bool PropertySheetBase::preTranslateMessage(const os::DialogEvent& event) {
    switch (event.message) {
        case KeyEventMessage: {
            const auto keyData = static_cast<std::uint32_t>(event.lParam);
            const bool pressed = static_cast<std::int32_t>(keyData) >= 0;
            slotKeyEvent(static_cast<int>(event.wParam), pressed);
            coolKeyEvent(static_cast<unsigned>(event.wParam), keyData);
            return true;
        }
        case MouseEventMessage:
            slotKeyEvent(1, false);
            return true;
        case MinimizeRequestMessage:
            moveToStatusArea();
            return true;
        default:
            return false;
    }
}

void PropertySheetBase::slotKeyEvent(int virtualKey, bool pressed) {
    slotPage.onKeyEvent(virtualKey, pressed);
}

void PropertySheetBase::coolKeyEvent(unsigned virtualKey, std::uint32_t keyData) {
    coolKeysPage.onKey(virtualKey, keyData);
}

std::intptr_t PropertySheetBase::onSystemCommand(const os::DialogEvent& event) {
    if (event.value == os::sc::Close) {
        moveToStatusArea();
        return 1;
    }
    return 0;
}

void PropertySheetBase::onMinimized() {
    try {
        moveToStatusArea();
    } catch (const windows::window::StatusAreaException& e) {
        errorReporter.showError("Couldn't move the window to the status area." + e.getMessage());
    }
}

std::intptr_t PropertySheetBase::onStatusAreaCallback(const os::DialogEvent& event) {
    if (event.wParam != static_cast<std::uintptr_t>(IconId) || event.lParam != LeftButtonUp) {
        return 0;
    }
    try {
        moveFromStatusArea();
        return 1;
    } catch (const windows::window::StatusAreaException& e) {
        errorReporter.showError("Couldn't move the window from the status area." + e.getMessage());
        return 0;
    }
}

std::string PropertySheetBase::statusAreaTip() const {
    return "Click to open " + caption;
}

void PropertySheetBase::moveToStatusArea() {
    PX_ASSERT(!_isInStatusArea);
    const std::string tip = statusAreaTip();
    const os::IconHandle icon = windows::window::loadIcon(IconId);
    windows::window::addStatusAreaIcon(getHandle(), icon, IconId, StatusAreaCallbackMessage, tip);
    os::windows().showWindow(getHandle(), os::sw::Hide);
    _isInStatusArea = true;
}

void PropertySheetBase::moveFromStatusArea() {
    PX_ASSERT(_isInStatusArea);
    const std::string tip = statusAreaTip();
    const os::IconHandle icon = windows::window::loadIcon(IconId);
    windows::window::removeStatusAreaIcon(getHandle(), icon, IconId, StatusAreaCallbackMessage,
                                          tip);
    os::windows().showWindow(getHandle(), os::sw::Show);
    os::windows().setForegroundWindow(getHandle());
    _isInStatusArea = false;
    if (startMinimized && !centeredOnce) {
        // Only a window that started hidden has never been placed by the user.
        centeredOnce = true;
        centerOnScreen();
    }
}

void PropertySheetBase::centerOnScreen() {
    os::Rect rect;
    if (!os::windows().getWindowRect(getHandle(), rect)) {
        return;
    }
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    const int screenWidth = os::systemInfo().getSystemMetrics(os::SmCxScreen);
    const int screenHeight = os::systemInfo().getSystemMetrics(os::SmCyScreen);
    os::windows().setWindowPos(getHandle(), 0, (screenWidth - width) / 2,
                               (screenHeight - height) / 2, 0, 0,
                               os::swp::NoSize | os::swp::NoZOrder);
}

void PropertySheetBase::onDestroy() {
    // However the window goes, it leaves no icon behind.
    if (!_isInStatusArea) {
        return;
    }
    try {
        moveFromStatusArea();
    } catch (const exceptions::Exception& e) {
        errorReporter.showError("Couldn't move the window from the status area." + e.getMessage());
    }
}

void PropertySheetBase::DestroyWindow() {
    if (_isInStatusArea) {
        moveFromStatusArea();
    }
    endDialog(os::id::Cancel);
}

}  // namespace products::pastrix::config::tab
