#include "os/DialogTemplate.h"
#include "os/ErrorCodes.h"
#include "os/win32/Win32DialogViews.h"

#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

using os::ControlKind;
using os::DialogEvent;
using os::DialogTemplate;
using os::DialogView;
using os::Notification;
using os::win32::Win32DialogViews;
using testing::ElementsAre;

constexpr unsigned int HookKey = os::WmApp + 1;
constexpr unsigned int Finish = os::WmApp + 9;

// A presenter that records what its view reports and answers through handlers the test gives.
class Recorder final : public os::DialogEvents {
public:
    explicit Recorder(std::string name, std::vector<std::string>& log)
        : name_(std::move(name)), log_(log) {}

    void attachView(DialogView* view) override { view_ = view; }

    std::intptr_t handleEvent(const DialogEvent& event) override {
        events.push_back(event);
        const auto handler = handlers.find(event.notification);
        if (event.notification == Notification::InitDialog ||
            event.notification == Notification::Destroy) {
            log_.push_back(name_ +
                           (event.notification == Notification::InitDialog ? " init" : " destroy"));
        }
        return handler != handlers.end() ? handler->second(event) : 0;
    }

    std::vector<const DialogEvent*> of(Notification notification) const {
        std::vector<const DialogEvent*> found;
        for (const DialogEvent& event : events) {
            if (event.notification == notification) {
                found.push_back(&event);
            }
        }
        return found;
    }

    DialogView* view() const { return view_; }
    HWND window() const { return reinterpret_cast<HWND>(view_->getHandle()); }

    std::map<Notification, std::function<std::intptr_t(const DialogEvent&)>> handlers;
    std::vector<DialogEvent> events;

private:
    std::string name_;
    std::vector<std::string>& log_;
    DialogView* view_ = nullptr;
};

os::ControlTemplate item(int id, ControlKind kind, std::string text, int x, int y, int width,
                         int height, unsigned style = 0, std::string tip = {}) {
    os::ControlTemplate control;
    control.id = id;
    control.kind = kind;
    control.text = std::move(text);
    control.x = x;
    control.y = y;
    control.width = width;
    control.height = height;
    control.style = style;
    control.tip = std::move(tip);
    return control;
}

DialogTemplate page(int id, const std::string& caption) {
    DialogTemplate made;
    made.id = id;
    made.caption = caption;
    made.width = 200;
    made.height = 120;
    made.style = os::ds::Page;
    made.controls = {item(1000 + id, ControlKind::CheckBox, "Start with " + caption, 7, 7, 150, 10),
                     item(os::NoControlId, ControlKind::Label, "A label", 7, 30, 150, 10)};
    return made;
}

DialogTemplate sheetTemplate() {
    DialogTemplate made;
    made.id = 0x7F00;
    made.caption = "Pastrix test sheet";
    made.controls = {item(IDOK, ControlKind::DefaultPushButton, "OK", 0, 0, 50, 14),
                     item(IDCANCEL, ControlKind::PushButton, "Cancel", 0, 0, 50, 14),
                     item(IDHELP, ControlKind::PushButton, "Help", 0, 0, 50, 14)};
    return made;
}

constexpr int List = 2001;
constexpr int Combo = 2002;
constexpr int Edit = 2003;
constexpr int Check = 2004;
constexpr int Link = 2005;

DialogTemplate dialogTemplate() {
    DialogTemplate made;
    made.id = 300;
    made.caption = "Pastrix test dialog";
    made.width = 220;
    made.height = 160;
    made.style = os::ds::Caption | os::ds::SystemMenu;
    made.controls = {item(List, ControlKind::ListView, "", 7, 7, 206, 70, 0, "The slots"),
                     item(Combo, ControlKind::DropDownList, "", 7, 82, 100, 60, os::cs::Sorted),
                     item(Edit, ControlKind::Edit, "first", 7, 100, 100, 14, os::cs::AutoHScroll),
                     item(Check, ControlKind::CheckBox, "Check", 120, 100, 60, 10),
                     item(Link, ControlKind::Label, "a link", 120, 82, 60, 10, os::cs::Notify),
                     item(IDOK, ControlKind::DefaultPushButton, "OK", 110, 139, 50, 14),
                     item(IDCANCEL, ControlKind::PushButton, "Cancel", 163, 139, 50, 14)};
    return made;
}

class Win32DialogViewsTest : public testing::Test {
protected:
    std::vector<std::string> log;
    Win32DialogViews views;
};

TEST_F(Win32DialogViewsTest, ASheetMakesEveryPageFirstAndKeepsItsButtonsForThePresenter) {
    const DialogTemplate first = page(101, "System");
    const DialogTemplate second = page(102, "Pastrix");
    const DialogTemplate sheet = sheetTemplate();
    Recorder sheetEvents("sheet", log);
    Recorder firstEvents("first", log);
    Recorder secondEvents("second", log);
    std::vector<unsigned int> preTranslated;
    firstEvents.handlers[Notification::Activate] = [](const DialogEvent&) { return 1; };

    sheetEvents.handlers[Notification::InitDialog] = [&](const DialogEvent&) -> std::intptr_t {
        DialogView& view = *sheetEvents.view();
        EXPECT_TRUE(view.setText(IDCANCEL, "Shutdown"));
        EXPECT_TRUE(view.setText(IDOK, "Minimize"));
        EXPECT_TRUE(view.setText(IDHELP, "Help"));
        view.modifyStyle(0, os::ws::MinimizeBox | os::ws::SysMenu);
        EXPECT_TRUE(view.insertSystemMenuItem(3, os::sc::Minimize, "Mi&nimize"));
        HWND window = sheetEvents.window();
        // What the user does, in order: a hook event for the first page, the sheet's own
        // buttons, the close box, Escape; then the test ends the sheet.
        PostMessageA(firstEvents.window(), HookKey, 0x4B, 0);
        PostMessageA(GetDlgItem(window, IDOK), BM_CLICK, 0, 0);
        PostMessageA(GetDlgItem(window, IDHELP), BM_CLICK, 0, 0);
        PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
        PostMessageA(GetDlgItem(window, IDOK), WM_KEYDOWN, VK_ESCAPE, 0);
        PostMessageA(window, Finish, 0, 0);
        return 1;
    };
    sheetEvents.handlers[Notification::PreTranslate] =
        [&](const DialogEvent& event) -> std::intptr_t {
        if (event.message == HookKey) {
            preTranslated.push_back(event.message);
            return 1;
        }
        return 0;
    };
    sheetEvents.handlers[Notification::SystemCommand] =
        [](const DialogEvent& event) -> std::intptr_t {
        return event.value == os::sc::Close ? 1 : 0;
    };
    sheetEvents.handlers[Notification::Message] = [&](const DialogEvent& event) -> std::intptr_t {
        if (event.message != Finish) {
            return 0;
        }
        HWND window = sheetEvents.window();
        EXPECT_NE(PropSheet_IndexToHwnd(window, 0), nullptr);
        EXPECT_NE(PropSheet_IndexToHwnd(window, 1), nullptr);
        EXPECT_EQ(sheetEvents.view()->getText(IDCANCEL), "Shutdown");
        EXPECT_EQ(sheetEvents.view()->getText(IDOK), "Minimize");
        EXPECT_NE(GetWindowLongA(window, GWL_STYLE) & WS_MINIMIZEBOX, 0);
        char menuText[32] = {};
        GetMenuStringA(GetSystemMenu(window, FALSE), SC_MINIMIZE, menuText, sizeof(menuText),
                       MF_BYCOMMAND);
        EXPECT_STREQ(menuText, "Mi&nimize");
        EXPECT_TRUE(IsWindowVisible(window));
        sheetEvents.view()->endDialog(IDCANCEL);
        return 1;
    };

    const int result =
        views.runSheet(sheet, sheetEvents, {{&first, &firstEvents}, {&second, &secondEvents}},
                       os::psh::NoApplyNow | os::psh::PropSheetPage, 0);

    EXPECT_EQ(result, IDCANCEL);
    // Pages first, then the sheet; all gone with it.
    ASSERT_GE(log.size(), 3U);
    EXPECT_EQ(log[2], "sheet init");
    EXPECT_THAT(std::vector<std::string>(log.begin(), log.begin() + 2),
                testing::UnorderedElementsAre("first init", "second init"));
    EXPECT_EQ(std::count(log.begin(), log.end(), "sheet destroy"), 1);
    EXPECT_EQ(std::count(log.begin(), log.end(), "first destroy"), 1);
    EXPECT_EQ(std::count(log.begin(), log.end(), "second destroy"), 1);
    EXPECT_THAT(preTranslated, ElementsAre(HookKey));
    // The page never saw the hook event the sheet consumed.
    for (const DialogEvent& event : firstEvents.events) {
        EXPECT_NE(event.message, HookKey);
    }
    std::vector<int> clicked;
    for (const DialogEvent* event : sheetEvents.of(Notification::Clicked)) {
        clicked.push_back(event->controlId);
    }
    // "Minimize" and "Help" reach the presenter and leave the sheet open; the close box and
    // Escape are the presenter's system command, not Cancel.
    EXPECT_THAT(clicked, ElementsAre(IDOK, IDHELP));
    std::vector<int> commands;
    for (const DialogEvent* event : sheetEvents.of(Notification::SystemCommand)) {
        commands.push_back(event->value);
    }
    EXPECT_THAT(commands, ElementsAre(os::sc::Close, os::sc::Close));
    EXPECT_FALSE(firstEvents.of(Notification::Activate).empty());
    EXPECT_EQ(sheetEvents.view(), nullptr);
}

TEST_F(Win32DialogViewsTest, AModalDialogReportsListsCombosEditsAndChecksAsTheUserUsesThem) {
    const DialogTemplate dialog = dialogTemplate();
    Recorder events("dialog", log);
    std::vector<int> comboIndexes;
    events.handlers[Notification::InitDialog] = [&](const DialogEvent&) -> std::intptr_t {
        DialogView& view = *events.view();
        EXPECT_TRUE(
            view.setListColumns(List, {{"Key", 60}, {"Preview", 120}}, os::lvs::FullRowSelect));
        EXPECT_TRUE(view.insertListRow(List, 0, {"A", "alpha"}));
        EXPECT_TRUE(view.insertListRow(List, 1, {"B", "beta"}));
        EXPECT_TRUE(view.insertListRow(List, 2, {"C", "gamma"}));
        comboIndexes = {view.addComboItem(Combo, "work"), view.addComboItem(Combo, "home"),
                        view.addComboItem(Combo, "Default")};
        EXPECT_TRUE(view.setComboSelection(Combo, 1));
        // The program's own changes report nothing.
        EXPECT_TRUE(view.setText(Edit, "second"));
        EXPECT_TRUE(view.setListSelection(List, {0}));
        EXPECT_FALSE(view.setText(4242, "nothing"));
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(os::error::ControlIdNotFound));
        view.enableToolTips(true);

        HWND window = events.window();
        HWND list = GetDlgItem(window, List);
        // The user selects the second row, picks an entry, types, checks, clicks the link.
        LVITEMA none{};
        none.stateMask = LVIS_SELECTED;
        SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                     reinterpret_cast<LPARAM>(&none));
        LVITEMA select{};
        select.stateMask = LVIS_SELECTED;
        select.state = LVIS_SELECTED;
        SendMessageA(list, LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&select));
        HWND combo = GetDlgItem(window, Combo);
        SendMessageA(combo, CB_SETCURSEL, 2, 0);
        SendMessageA(window, WM_COMMAND, MAKEWPARAM(Combo, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(combo));
        HWND edit = GetDlgItem(window, Edit);
        PostMessageA(edit, WM_CHAR, 'x', 1);
        PostMessageA(edit, WM_KEYUP, 'X', 0xC0000001);
        PostMessageA(GetDlgItem(window, Check), BM_CLICK, 0, 0);
        PostMessageA(window, WM_COMMAND, MAKEWPARAM(Link, STN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(window, Link)));
        PostMessageA(list, WM_KEYDOWN, VK_DELETE, 0x00530001);
        PostMessageA(edit, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
        return 1;
    };
    events.handlers[Notification::Clicked] = [&](const DialogEvent& event) -> std::intptr_t {
        if (event.controlId == IDCANCEL) {
            DialogView& view = *events.view();
            EXPECT_TRUE(view.isChecked(Check));
            EXPECT_EQ(view.getText(Edit), "xsecond");
            EXPECT_EQ(view.getComboSelection(Combo), 2);
            EXPECT_EQ(view.getComboItemText(Combo, 0), "Default");
            EXPECT_TRUE(view.deleteListRow(List, 0));
            view.endDialog(IDCANCEL);
        }
        return 0;
    };

    EXPECT_EQ(views.runModal(dialog, events, 0), IDCANCEL);

    // A sorted drop-down list puts each entry in order as it comes.
    EXPECT_THAT(comboIndexes, ElementsAre(0, 0, 0));
    const auto selections = events.of(Notification::SelectionChanged);
    ASSERT_EQ(selections.size(), 2U);
    EXPECT_EQ(selections[0]->controlId, Combo);
    EXPECT_EQ(selections[0]->value, 2);
    // One report for the deselection and the selection the click made.
    EXPECT_EQ(selections[1]->controlId, List);
    EXPECT_THAT(selections[1]->items, ElementsAre(1));
    ASSERT_EQ(events.of(Notification::EditChanged).size(), 1U);
    const auto keyUps = events.of(Notification::KeyUp);
    ASSERT_EQ(keyUps.size(), 1U);
    EXPECT_EQ(keyUps[0]->controlId, Edit);
    EXPECT_EQ(keyUps[0]->value, 'X');
    const auto keyDowns = events.of(Notification::KeyDown);
    ASSERT_EQ(keyDowns.size(), 1U);
    EXPECT_EQ(keyDowns[0]->value, VK_DELETE);
    std::vector<int> clicked;
    for (const DialogEvent* event : events.of(Notification::Clicked)) {
        clicked.push_back(event->controlId);
    }
    EXPECT_THAT(clicked, ElementsAre(Check, Link, IDCANCEL));
    EXPECT_EQ(log.back(), "dialog destroy");
}

TEST_F(Win32DialogViewsTest, ControlsArePlacedInDialogUnitsAndMoveInPixels) {
    const DialogTemplate dialog = dialogTemplate();
    Recorder events("dialog", log);
    events.handlers[Notification::InitDialog] = [&](const DialogEvent&) -> std::intptr_t {
        DialogView& view = *events.view();
        // The dialog manager converts position and size each on its own.
        RECT units{7, 100, 100, 14};
        MapDialogRect(events.window(), &units);
        const os::Rect edit = view.getControlRect(Edit);
        EXPECT_EQ(edit.left, units.left);
        EXPECT_EQ(edit.top, units.top);
        EXPECT_EQ(edit.right - edit.left, units.right);
        EXPECT_EQ(edit.bottom - edit.top, units.bottom);
        EXPECT_TRUE(view.moveControl(Edit, os::Rect{10, 20, 110, 45}));
        const os::Rect moved = view.getControlRect(Edit);
        EXPECT_EQ(moved.left, 10);
        EXPECT_EQ(moved.bottom, 45);
        os::FontStyle font = view.getFont(Link);
        EXPECT_FALSE(font.face.empty());
        font.underline = true;
        EXPECT_TRUE(view.setFont(Link, font));
        EXPECT_TRUE(view.getFont(Link).underline);
        EXPECT_TRUE(view.setTextColour(Link, 0x00FF0000));
        view.endDialog(IDOK);
        return 1;
    };
    EXPECT_EQ(views.runModal(dialog, events, 0), IDOK);
}

TEST_F(Win32DialogViewsTest, AFailureOfAPresenterEndsTheLoopAndReachesTheCaller) {
    const DialogTemplate dialog = dialogTemplate();
    Recorder events("dialog", log);
    events.handlers[Notification::InitDialog] = [&](const DialogEvent&) -> std::intptr_t {
        PostMessageA(GetDlgItem(events.window(), IDOK), BM_CLICK, 0, 0);
        return 1;
    };
    events.handlers[Notification::Clicked] = [](const DialogEvent&) -> std::intptr_t {
        throw std::runtime_error("the presenter failed");
    };
    EXPECT_THROW(views.runModal(dialog, events, 0), std::runtime_error);
    EXPECT_EQ(log.back(), "dialog destroy");
}

TEST_F(Win32DialogViewsTest, ProgramMessagesWaitWhileTheSheetHandlesOneAndComeInOrder) {
    const DialogTemplate first = page(101, "System");
    const DialogTemplate sheet = sheetTemplate();
    const DialogTemplate dialog = dialogTemplate();
    Recorder sheetEvents("sheet", log);
    Recorder pageEvents("page", log);
    Recorder dialogEvents("dialog", log);
    std::vector<std::string> order;
    pageEvents.handlers[Notification::Activate] = [](const DialogEvent&) { return 1; };
    sheetEvents.handlers[Notification::InitDialog] = [&](const DialogEvent&) -> std::intptr_t {
        PostMessageA(pageEvents.window(), HookKey, 1, 0);
        return 1;
    };
    dialogEvents.handlers[Notification::InitDialog] = [&](const DialogEvent&) -> std::intptr_t {
        // Arrives while the sheet is still handling the first one, inside this loop.
        PostMessageA(pageEvents.window(), HookKey, 2, 0);
        PostMessageA(GetDlgItem(dialogEvents.window(), IDOK), BM_CLICK, 0, 0);
        return 1;
    };
    dialogEvents.handlers[Notification::Clicked] = [&](const DialogEvent& event) -> std::intptr_t {
        if (event.controlId == IDOK) {
            dialogEvents.view()->endDialog(IDOK);
        }
        return 0;
    };
    sheetEvents.handlers[Notification::PreTranslate] =
        [&](const DialogEvent& event) -> std::intptr_t {
        if (event.message != HookKey) {
            return 0;
        }
        order.push_back("begin " + std::to_string(event.wParam));
        if (event.wParam == 1) {
            EXPECT_EQ(views.runModal(dialog, dialogEvents, sheetEvents.view()->getHandle()), IDOK);
        } else {
            sheetEvents.view()->endDialog(IDCANCEL);
        }
        order.push_back("end " + std::to_string(event.wParam));
        return 1;
    };
    EXPECT_EQ(views.runSheet(sheet, sheetEvents, {{&first, &pageEvents}}, 0, 0), IDCANCEL);
    EXPECT_THAT(order, ElementsAre("begin 1", "end 1", "begin 2", "end 2"));
}

}  // namespace
