#pragma once

#include "config/clipboard/PXToolTipFactory.h"
#include "config/tab/CCTab.h"
#include "config/tab/PXTab.h"
#include "util/config/Config.h"
#include "windows/mfc/Dialog.h"
#include "windows/reporter/ErrorReporter.h"
#include "windows/window/ThreadedWindowX.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace products::pastrix::config::tab {

// The program's settings window: a property sheet whose modal loop is the user-interface
// loop of the whole run. Closing or minimising it hides it into the status area; only
// "Shutdown" ends the run. It hands the hooks' key and mouse events to the slot and Cool
// Keys handlers and runs the slot tooltip on a thread of its own.
class PropertySheetBase : public windows::mfc::Dialog {
public:
    // Messages of the hooks and of the sheet itself.
    static constexpr unsigned KeyEventMessage = 0x8001;
    static constexpr unsigned MouseEventMessage = 0x8002;
    static constexpr unsigned StatusAreaCallbackMessage = 0x8004;
    static constexpr unsigned MinimizeRequestMessage = 0x8006;
    // The application icon, also the icon's identifier in the status area.
    static constexpr int IconId = 100;
    // The command of the "Help" button.
    static constexpr int HelpCommand = 0xE146;
    static constexpr unsigned LeftButtonUp = 0x0202;
    static constexpr std::chrono::milliseconds ToolTipPollInterval{10};

    PropertySheetBase(windows::reporter::ErrorReporter& errorReporter,
                      ::util::config::Config& config, PXTab& slotPage, CCTab& coolKeysPage,
                      std::string productName, clipboard::PXToolTipFactory& toolTipFactory,
                      bool startMinimized);
    ~PropertySheetBase() override;

    // The pages, in tab order; not owned.
    void addPage(windows::mfc::PropertyPage& page) { pages.push_back(&page); }
    const std::vector<windows::mfc::PropertyPage*>& getPages() const { return pages; }

    // Runs the sheet until "Shutdown"; returns os::id::Cancel then, -1 when it could not be
    // shown. Errors of the status area that nothing catches leave it as exceptions.
    int DoModal();
    void moveToStatusArea();
    void moveFromStatusArea();
    // Takes the icon out of the status area first, so that none is left behind.
    void DestroyWindow();

    bool isInStatusArea() const { return _isInStatusArea; }
    bool wasCenteredOnce() const { return centeredOnce; }
    const std::string& getCaption() const { return caption; }
    // The window's title, which the System page keeps naming the open workspace; the
    // caption until it is set.
    void SetTitle(const std::string& text);
    const std::string& getTitle() const { return title.empty() ? caption : title; }
    // The tooltip thread while the sheet's window lives; nullptr before.
    windows::window::ThreadedWindowX* getToolTipThread() const { return toolTipThread.get(); }

protected:
    bool onInitDialog() override;
    // "Minimize".
    void onOK() override;
    // "Shutdown".
    void onCancel() override;

    // Where the hooks' events go; the slot handler always first.
    virtual void slotKeyEvent(int virtualKey, bool pressed);
    virtual void coolKeyEvent(unsigned virtualKey, std::uint32_t keyData);

private:
    // A thread message before dispatch; true when it was the sheet's.
    bool preTranslateMessage(const os::DialogEvent& event);
    std::intptr_t onSystemCommand(const os::DialogEvent& event);
    void onMinimized();
    void onDestroy();
    std::intptr_t onStatusAreaCallback(const os::DialogEvent& event);
    void startToolTip();
    void stopToolTip();
    std::string statusAreaTip() const;
    void centerOnScreen();

    windows::reporter::ErrorReporter& errorReporter;
    // Kept for the pages, which read the configuration through the sheet.
    [[maybe_unused]] ::util::config::Config& config;
    PXTab& slotPage;
    CCTab& coolKeysPage;
    std::string caption;
    std::string title;
    clipboard::PXToolTipFactory& toolTipFactory;
    bool startMinimized;
    bool _isInStatusArea = false;
    bool centeredOnce = false;
    std::unique_ptr<windows::window::ThreadedWindowX> toolTipThread;
    std::vector<windows::mfc::PropertyPage*> pages;
};

}  // namespace products::pastrix::config::tab
