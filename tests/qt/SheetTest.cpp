// The settings sheet in Qt: its tabs and buttons, hiding into the notification area and
// coming back, and the hooks' messages reaching it through the Qt event loop.

#include "QtDesktopTest.h"
#include "config/clipboard/PXToolTipFactory.h"
#include "config/configfile/CCSettings.h"
#include "config/configfile/PXSettings.h"
#include "config/configfile/SupportSettings.h"
#include "config/tab/AboutTab.h"
#include "config/tab/CCTab.h"
#include "config/tab/DialogTemplates.h"
#include "config/tab/PXTab.h"
#include "config/tab/PropertySheetBase.h"
#include "config/workspace/Workspace.h"
#include "support/RecordingReporter.h"
#include "support/SettingsFile.h"
#include "windows/window/WindowExceptions.h"

#include <QPushButton>
#include <QSystemTrayIcon>
#include <QTabWidget>
#include <QTest>
#include <filesystem>
#include <memory>

#include <gtest/gtest.h>

namespace {

using products::pastrix::config::clipboard::PXToolTipFactory;
using products::pastrix::config::configfile::CCSettings;
using products::pastrix::config::configfile::PXSettings;
using products::pastrix::config::configfile::SupportSettings;
using products::pastrix::config::tab::AboutTab;
using products::pastrix::config::tab::CCTab;
using products::pastrix::config::tab::PropertySheetBase;
using products::pastrix::config::tab::PXTab;
using products::pastrix::config::workspace::Workspace;
using qt_testing::QtDesktopTest;
namespace templates = products::pastrix::config::tab::templates;
namespace ids = templates::sheet;

constexpr std::intptr_t Released = static_cast<std::int32_t>(0xC0000001U);

// The sheet with the hooks' events it handed on, in order.
class RecordingSheet final : public PropertySheetBase {
public:
    using PropertySheetBase::PropertySheetBase;
    std::vector<std::string> calls;

protected:
    void slotKeyEvent(int virtualKey, bool pressed) override {
        calls.push_back("slot " + std::to_string(virtualKey) + (pressed ? " down" : " up"));
        PropertySheetBase::slotKeyEvent(virtualKey, pressed);
    }
    void coolKeyEvent(unsigned virtualKey, std::uint32_t keyData) override {
        calls.push_back("cool " + std::to_string(virtualKey) + " " + std::to_string(keyData));
        PropertySheetBase::coolKeyEvent(virtualKey, keyData);
    }
};

class SheetTest : public QtDesktopTest {
protected:
    SheetTest() {
        std::filesystem::create_directory(path("ws"));
        workspace.open("ws");
    }

    // Runs the sheet; the script plays the user once the sheet is up.
    int run(std::function<void(os::qt::QtView&)> script, bool startMinimized = false) {
        sheet = std::make_unique<RecordingSheet>(reporter, *file.config, slotPage, coolKeys,
                                                 "Pastrix", factory, startMinimized);
        sheet->addPage(slotPage);
        sheet->addPage(coolKeys);
        sheet->addPage(aboutPage);
        if (!startMinimized) {
            whenShown(ids::Dialog, std::move(script));
        } else {
            // A sheet that starts hidden is only in the notification area.
            auto* timer = new QTimer(qApp);
            timers.emplace_back(timer);
            QObject::connect(timer, &QTimer::timeout, [this, timer, script] {
                os::qt::QtView* view = views.find(ids::Dialog);
                if (view == nullptr) {
                    return;
                }
                everShown = everShown || view->widget()->isVisible();
                if (statusArea.iconCount() == 1) {
                    timer->stop();
                    script(*view);
                }
            });
            timer->start(1);
        }
        return sheet->DoModal();
    }

    QSystemTrayIcon* trayIcon() const {
        return statusArea.trayIcon(sheet->getHandle(), PropertySheetBase::IconId);
    }

    CCSettings& switchedOn() {
        coolKeySettings.setEnabled(true);
        return coolKeySettings;
    }

    testing_support::RecordingReporter reporter;
    testing_support::SettingsFile file;
    PXSettings settings{*file.config, reporter};
    Workspace workspace{reporter, 0, directory.string()};
    PXTab slotPage{reporter, workspace, settings};
    CCSettings coolKeySettings{*file.config, reporter};
    CCTab coolKeys{reporter, workspace, switchedOn()};
    SupportSettings support{*file.config, reporter};
    AboutTab aboutPage{reporter, "Pastrix", support};
    PXToolTipFactory factory{workspace, true};
    std::unique_ptr<RecordingSheet> sheet;
    bool everShown = false;
};

TEST_F(SheetTest, ShowsItsTabsAndRenamedButtonsUntilShutdown) {
    bool ran = false;
    const int result = run([&](os::qt::QtView& view) {
        ran = true;
        QTabWidget* tabs = view.tabs();
        ASSERT_NE(tabs, nullptr);
        ASSERT_EQ(tabs->count(), 3);
        EXPECT_EQ(tabs->tabText(0).toStdString(), "Pastrix");
        EXPECT_EQ(tabs->tabText(1).toStdString(), "Cool Keys");
        EXPECT_EQ(tabs->tabText(2).toStdString(), "About");
        EXPECT_EQ(tabs->currentIndex(), 0);
        EXPECT_EQ(widget<QPushButton>(view, ids::Cancel)->text().toStdString(), "Shutdown");
        EXPECT_EQ(widget<QPushButton>(view, ids::Ok)->text().toStdString(), "Minimize");
        EXPECT_EQ(widget<QPushButton>(view, ids::Help)->text().toStdString(), "Help");
        EXPECT_EQ(view.widget()->windowTitle().toStdString(), "Pastrix");
        EXPECT_FALSE(view.widget()->windowIcon().isNull());
        EXPECT_TRUE(view.widget()->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
        ASSERT_GE(view.systemMenu().size(), 4U);
        EXPECT_EQ(view.systemMenu()[3].text, "Mi&nimize");
        EXPECT_EQ(view.sheetFlags(), 0x8CU);
        // The buttons sit below the pages, inside the window.
        for (const int button : {ids::Ok, ids::Cancel, ids::Help}) {
            const QRect rect = view.control(button)->geometry();
            EXPECT_GE(rect.top(), tabs->geometry().bottom());
            EXPECT_LE(rect.right(), view.widget()->width());
        }
        const char* const names[] = {"sheet-pastrix", "sheet-coolkeys", "sheet-about"};
        for (int tab = 0; tab < tabs->count(); ++tab) {
            tabs->setCurrentIndex(tab);
            EXPECT_FALSE(screenshot(view.widget(), names[tab]).empty());
        }
        click(widget<QPushButton>(view, ids::Cancel));
    });
    EXPECT_TRUE(ran);
    EXPECT_EQ(result, os::id::Cancel);
    EXPECT_EQ(views.find(ids::Dialog), nullptr);
    EXPECT_EQ(statusArea.iconCount(), 0U);
}

TEST_F(SheetTest, MinimizeHidesIntoTheStatusAreaAndOnlyALeftClickBringsItBack) {
    const int result = run([&](os::qt::QtView& view) {
        click(widget<QPushButton>(view, ids::Ok));
        EXPECT_FALSE(view.widget()->isVisible());
        QSystemTrayIcon* icon = trayIcon();
        ASSERT_NE(icon, nullptr);
        EXPECT_EQ(icon->toolTip().toStdString(), "Click to open Pastrix");
        EXPECT_FALSE(icon->icon().isNull());

        // Other clicks do nothing.
        emit icon->activated(QSystemTrayIcon::Context);
        emit icon->activated(QSystemTrayIcon::DoubleClick);
        emit icon->activated(QSystemTrayIcon::MiddleClick);
        spin(std::chrono::milliseconds(50));
        EXPECT_FALSE(view.widget()->isVisible());
        EXPECT_TRUE(sheet->isInStatusArea());

        emit icon->activated(QSystemTrayIcon::Trigger);
        EXPECT_TRUE(waitFor([&] { return view.widget()->isVisible(); }));
        EXPECT_FALSE(sheet->isInStatusArea());
        EXPECT_EQ(trayIcon(), nullptr);
        click(widget<QPushButton>(view, ids::Cancel));
    });
    EXPECT_EQ(result, os::id::Cancel);
    EXPECT_TRUE(reporter.messages.empty());
}

TEST_F(SheetTest, TheCloseBoxEscapeAndMinimisingHideWithoutEndingTheRun) {
    const int result = run([&](os::qt::QtView& view) {
        const auto bringBack = [&](const char* after) {
            SCOPED_TRACE(after);
            ASSERT_NE(trayIcon(), nullptr);
            emit trayIcon()->activated(QSystemTrayIcon::Trigger);
            EXPECT_TRUE(waitFor([&] { return view.widget()->isVisible(); }));
        };
        view.widget()->close();
        EXPECT_FALSE(view.widget()->isVisible());
        EXPECT_FALSE(view.hasEnded());
        bringBack("close box");

        QTest::keyClick(view.widget(), Qt::Key_Escape);
        EXPECT_FALSE(view.widget()->isVisible());
        EXPECT_FALSE(view.hasEnded());
        bringBack("escape");

        // As the window manager does it; the platform's echo of the new state comes later.
        view.widget()->setWindowState(Qt::WindowMinimized);
        EXPECT_TRUE(waitFor([&] { return sheet->isInStatusArea(); }));
        spin(std::chrono::milliseconds(100));
        EXPECT_FALSE(view.widget()->isVisible());
        bringBack("minimised");
        EXPECT_FALSE(view.widget()->isMinimized());
        click(widget<QPushButton>(view, ids::Cancel));
    });
    EXPECT_EQ(result, os::id::Cancel);
}

TEST_F(SheetTest, StartedMinimizedItNeverShowsUntilTheIconIsClicked) {
    const int result = run(
        [&](os::qt::QtView& view) {
            EXPECT_FALSE(everShown);
            EXPECT_FALSE(view.widget()->isVisible());
            emit trayIcon()->activated(QSystemTrayIcon::Trigger);
            EXPECT_TRUE(waitFor([&] { return view.widget()->isVisible(); }));
            EXPECT_TRUE(sheet->wasCenteredOnce());
            click(widget<QPushButton>(view, ids::Cancel));
        },
        true);
    EXPECT_EQ(result, os::id::Cancel);
    EXPECT_FALSE(everShown);
}

TEST_F(SheetTest, HookMessagesReachTheSlotHandlerThenCoolKeysOneAtATimeInOrder) {
    const int result = run([&](os::qt::QtView& view) {
        os::Windows& queue = os::windows();
        // Posted to the System page's window in the program; any window of the thread does.
        const os::WindowHandle target = view.pages()[0]->getHandle();
        queue.postMessage(target, PropertySheetBase::KeyEventMessage, 'K', 0x00250001);
        queue.postMessage(target, PropertySheetBase::KeyEventMessage, 'K', Released);
        queue.postMessage(target, PropertySheetBase::MouseEventMessage, 0, 0);
        EXPECT_TRUE(waitFor([&] { return sheet->calls.size() == 5; }));
        click(widget<QPushButton>(view, ids::Cancel));
    });
    EXPECT_EQ(result, os::id::Cancel);
    EXPECT_EQ(sheet->calls,
              (std::vector<std::string>{"slot 75 down", "cool 75 2424833", "slot 75 up",
                                        "cool 75 3221225473", "slot 1 up"}));
}

TEST_F(SheetTest, WithoutANotificationAreaMinimizeEndsTheRunWithTheStatusAreaError) {
    trayAvailable = false;
    try {
        run([&](os::qt::QtView& view) { click(widget<QPushButton>(view, ids::Ok)); });
        FAIL() << "the run went on";
    } catch (const windows::window::StatusAreaException& e) {
        EXPECT_NE(e.getMessage().find("Tries: 8.\n"), std::string::npos);
        EXPECT_NE(e.getMessage().find("Error code: 1460.\n"), std::string::npos);
    }
    EXPECT_EQ(desktop.clock.sleeps().size(), 8U);
    EXPECT_EQ(views.find(ids::Dialog), nullptr);
}

TEST_F(SheetTest, WithoutANotificationAreaMinimisingShowsOneErrorAndKeepsTheWindow) {
    trayAvailable = false;
    const int result = run([&](os::qt::QtView& view) {
        view.widget()->setWindowState(Qt::WindowMinimized);
        EXPECT_TRUE(waitFor([&] { return !reporter.messages.empty(); }));
        EXPECT_FALSE(sheet->isInStatusArea());
        click(widget<QPushButton>(view, ids::Cancel));
    });
    EXPECT_EQ(result, os::id::Cancel);
    ASSERT_EQ(reporter.messages.size(), 1U);
    EXPECT_EQ(reporter.messages[0].rfind("Couldn't move the window to the status area.", 0), 0U);
}

}  // namespace
