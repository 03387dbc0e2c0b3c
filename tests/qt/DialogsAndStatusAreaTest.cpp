// Message boxes, the notification-area icon and the keys of the Qt desktop.

#include "QtDesktopTest.h"
#include "os/ErrorCodes.h"
#include "os/qt/QtKeys.h"
#include "windows/reporter/MessageBoxReporter.h"
#include "windows/window/StatusArea.h"
#include "windows/window/WindowExceptions.h"

#include <QSystemTrayIcon>

#include <gtest/gtest.h>

namespace {

using qt_testing::QtDesktopTest;

class MessageBoxTest : public QtDesktopTest {};

TEST_F(MessageBoxTest, TheReporterShowsItsCaptionsAndIconsWithOneButton) {
    windows::reporter::MessageBoxReporter reporter("Pastrix");
    answerNextBox(QMessageBox::Ok);
    reporter.showError("It broke.");
    answerNextBox(QMessageBox::Ok);
    reporter.showSuccess("It worked.");
    answerNextBox(QMessageBox::Ok);
    reporter.showInformation("Note this.");
    ASSERT_EQ(seenBoxes.size(), 3U);
    const struct {
        const char* caption;
        const char* text;
        QMessageBox::Icon icon;
    } expected[] = {{"Pastrix Error", "It broke.", QMessageBox::Critical},
                    {"Pastrix Success", "It worked.", QMessageBox::Information},
                    {"Pastrix Information", "Note this.", QMessageBox::Information}};
    for (std::size_t box = 0; box < 3; ++box) {
        SCOPED_TRACE(expected[box].caption);
        EXPECT_EQ(seenBoxes[box].caption, expected[box].caption);
        EXPECT_EQ(seenBoxes[box].text, expected[box].text);
        EXPECT_EQ(seenBoxes[box].icon, expected[box].icon);
        EXPECT_EQ(seenBoxes[box].buttons, (std::vector<std::string>{"OK"}));
        EXPECT_EQ(seenBoxes[box].parent, nullptr);
    }
}

TEST_F(MessageBoxTest, QuestionsAnswerYesOrNoAndTextsStayPlain) {
    const std::string hostile = "Delete <b>work</b> & <a href='x'>more</a>?";
    answerNextBox(QMessageBox::Yes);
    EXPECT_EQ(os::dialogs().messageBox(0, hostile, "Warning", os::mb::YesNo | os::mb::IconQuestion),
              os::id::Yes);
    answerNextBox(QMessageBox::No);
    EXPECT_EQ(os::dialogs().messageBox(0, hostile, "Warning", os::mb::YesNo | os::mb::IconQuestion),
              os::id::No);
    ASSERT_EQ(seenBoxes.size(), 2U);
    EXPECT_EQ(seenBoxes[0].text, hostile);
    EXPECT_EQ(seenBoxes[0].format, Qt::PlainText);
    EXPECT_EQ(seenBoxes[0].icon, QMessageBox::Question);
    EXPECT_EQ(seenBoxes[0].buttons, (std::vector<std::string>{"Yes", "No"}));
    // Escape gives the answer that changes nothing.
    answerNextBox(QMessageBox::Cancel);
    EXPECT_EQ(os::dialogs().messageBox(0, "Sure?", "Warning", os::mb::YesNo), os::id::No);
}

TEST_F(MessageBoxTest, ABoxFromAnotherThreadIsShownLaterAndNotWaitedFor) {
    int answer = 0;
    std::thread other([&] {
        answer = os::dialogs().messageBox(0, "From the tooltip thread", "Pastrix Error",
                                          os::mb::Ok | os::mb::IconError);
    });
    other.join();
    EXPECT_EQ(answer, os::id::Ok);
    answerNextBox(QMessageBox::Ok);
    ASSERT_TRUE(waitFor([&] { return seenBoxes.size() == 1; }));
    EXPECT_EQ(seenBoxes[0].text, "From the tooltip thread");
}

class StatusAreaTest : public QtDesktopTest {
protected:
    os::NotifyIconData record(os::WindowHandle window) {
        os::NotifyIconData data;
        data.window = window;
        data.id = 100;
        data.flags = os::nif::Message | os::nif::Icon | os::nif::Tip;
        data.callbackMessage = 0x8004;
        data.icon = statusArea.loadIcon(100);
        data.tip = "Click to open Pastrix";
        return data;
    }

    os::WindowHandle window() {
        os::WindowClass windowClass;
        windowClass.className = "StatusAreaOwner";
        windowClass.procedure = [](os::WindowHandle, unsigned, std::uintptr_t,
                                   std::intptr_t) -> std::intptr_t { return 0; };
        desktop.windows.registerClass(windowClass);
        os::WindowCreation creation;
        creation.className = "StatusAreaOwner";
        return desktop.windows.createWindow(creation);
    }
};

TEST_F(StatusAreaTest, ShowsOneIconPerWindowAndIdentifierAndRemovesIt) {
    const os::WindowHandle owner = window();
    const os::NotifyIconData data = record(owner);
    ASSERT_NE(data.icon, 0U);
    ASSERT_TRUE(statusArea.notifyIcon(os::nim::Add, data));
    QSystemTrayIcon* icon = statusArea.trayIcon(owner, 100);
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(icon->toolTip().toStdString(), "Click to open Pastrix");
    EXPECT_FALSE(icon->icon().isNull());

    EXPECT_FALSE(statusArea.notifyIcon(os::nim::Add, data));
    EXPECT_EQ(desktop.errors.lastError(), os::error::AlreadyExists);
    ASSERT_TRUE(statusArea.notifyIcon(os::nim::Delete, data));
    EXPECT_EQ(statusArea.trayIcon(owner, 100), nullptr);
    EXPECT_FALSE(statusArea.notifyIcon(os::nim::Delete, data));
    EXPECT_EQ(desktop.errors.lastError(), os::error::InvalidParameter);
}

TEST_F(StatusAreaTest, ClicksComeBackAsTheCallbackMessageWithTheMouseMessage) {
    const os::WindowHandle owner = window();
    ASSERT_TRUE(statusArea.notifyIcon(os::nim::Add, record(owner)));
    QSystemTrayIcon* icon = statusArea.trayIcon(owner, 100);
    ASSERT_NE(icon, nullptr);
    const struct {
        QSystemTrayIcon::ActivationReason reason;
        std::intptr_t mouse;
    } clicks[] = {{QSystemTrayIcon::Trigger, 0x0202},
                  {QSystemTrayIcon::DoubleClick, 0x0203},
                  {QSystemTrayIcon::Context, 0x0205},
                  {QSystemTrayIcon::MiddleClick, 0x0208}};
    for (const auto& click : clicks) {
        emit icon->activated(click.reason);
        os::Message message;
        ASSERT_TRUE(desktop.windows.peekMessage(message, true));
        EXPECT_EQ(message.window, owner);
        EXPECT_EQ(message.message, 0x8004U);
        EXPECT_EQ(message.wParam, 100U);
        EXPECT_EQ(message.lParam, click.mouse);
    }
}

TEST_F(StatusAreaTest, WithoutANotificationAreaTheProgramTriesEightTimesAndSaysSo) {
    trayAvailable = false;
    const os::WindowHandle owner = window();
    try {
        windows::window::addStatusAreaIcon(owner, statusArea.loadIcon(100), 100, 0x8004,
                                           "Click to open Pastrix");
        FAIL() << "no failure";
    } catch (const windows::window::StatusAreaException& e) {
        EXPECT_NE(e.getMessage().find("Tries: 8.\nError code: 1460.\n"), std::string::npos);
    }
    EXPECT_EQ(desktop.clock.sleeps().size(), 8U);
    EXPECT_EQ(statusArea.iconCount(), 0U);
    // The tray appears later: the next try works.
    trayAvailable = true;
    windows::window::addStatusAreaIcon(owner, statusArea.loadIcon(100), 100, 0x8004, "tip");
    EXPECT_EQ(statusArea.iconCount(), 1U);
}

TEST_F(StatusAreaTest, OnlyTheProgramIconIsAResource) {
    EXPECT_NE(statusArea.loadIcon(100), 0U);
    EXPECT_EQ(statusArea.loadIcon(101), 0U);
    EXPECT_EQ(desktop.errors.lastError(), os::error::ResourceNameNotFound);
    resources.remove(100);
    EXPECT_EQ(statusArea.loadIcon(100), 0U);
    EXPECT_TRUE(resources.picture(137).width() > 0);
}

class KeysTest : public QtDesktopTest {};

TEST_F(KeysTest, QtKeysBecomeTheProgramsVirtualKeys) {
    const struct {
        int key;
        Qt::KeyboardModifiers modifiers;
        int virtualKey;
    } keys[] = {
        {Qt::Key_A, Qt::NoModifier, 0x41},         {Qt::Key_Z, Qt::ShiftModifier, 0x5A},
        {Qt::Key_7, Qt::NoModifier, 0x37},         {Qt::Key_F1, Qt::NoModifier, 0x70},
        {Qt::Key_F12, Qt::NoModifier, 0x7B},       {Qt::Key_Alt, Qt::AltModifier, 0x12},
        {Qt::Key_Control, Qt::NoModifier, 0x11},   {Qt::Key_Shift, Qt::NoModifier, 0x10},
        {Qt::Key_Delete, Qt::NoModifier, 0x2E},    {Qt::Key_Return, Qt::NoModifier, 0x0D},
        {Qt::Key_Enter, Qt::KeypadModifier, 0x0D}, {Qt::Key_5, Qt::KeypadModifier, 0x65},
        {Qt::Key_Plus, Qt::KeypadModifier, 0x6B},  {Qt::Key_Left, Qt::NoModifier, 0x25},
        {Qt::Key_Space, Qt::NoModifier, 0x20},     {Qt::Key_Escape, Qt::NoModifier, 0x1B},
        {Qt::Key_Semicolon, Qt::NoModifier, 0xBA}, {Qt::Key_Colon, Qt::ShiftModifier, 0xBA},
        {Qt::Key_Exclam, Qt::ShiftModifier, 0x31}, {Qt::Key_BracketLeft, Qt::NoModifier, 0xDB},
        {Qt::Key_VolumeUp, Qt::NoModifier, 0xAF},  {Qt::Key_unknown, Qt::NoModifier, 0},
        {Qt::Key_Eacute, Qt::NoModifier, 0},
    };
    for (const auto& key : keys) {
        SCOPED_TRACE(key.key);
        EXPECT_EQ(os::qt::virtualKeyOf(key.key, static_cast<unsigned>(key.modifiers.toInt())),
                  key.virtualKey);
    }
}

}  // namespace
