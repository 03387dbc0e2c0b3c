// Presenters over the headless view: the message map, data exchange, what a user can and
// cannot do, and modal dialogs scripted from the test.
#include "os/Dialogs.h"
#include "os/Port.h"
#include "os/sim/HeadlessViews.h"
#include "support/SimDesktopTest.h"
#include "windows/mfc/Dialog.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

using os::ControlKind;
using os::Notification;

constexpr int ButtonId = 20;
constexpr int CheckId = 21;
constexpr int HiddenId = 22;
constexpr int LinkId = 23;
constexpr int ComboId = 24;
constexpr int NameId = 25;
constexpr int NestedId = 26;
constexpr unsigned int PingMessage = 0x8123;

const os::DialogTemplate& testTemplate() {
    static const os::DialogTemplate dialog{
        901,
        "Test",
        200,
        120,
        os::ds::Caption | os::ds::SystemMenu,
        "MS Shell Dlg",
        8,
        {
            {os::NoControlId, ControlKind::Label, "Name", 5, 5, 40, 8, 0, ""},
            {NameId, ControlKind::Edit, "", 50, 5, 100, 14, 0, "Your name."},
            {ButtonId, ControlKind::PushButton, "Press", 5, 25, 50, 14, 0, "Press it."},
            {CheckId, ControlKind::CheckBox, "Check", 5, 45, 50, 10, 0, ""},
            {HiddenId, ControlKind::PushButton, "Hidden", 60, 45, 50, 14, os::cs::Hidden, "No."},
            {LinkId, ControlKind::Label, "Link", 5, 60, 50, 8, os::cs::Notify, ""},
            {ComboId, ControlKind::DropDownList, "", 5, 75, 80, 50, os::cs::Sorted, ""},
            {NestedId, ControlKind::PushButton, "Nested", 90, 75, 50, 14, 0, ""},
            {os::id::Ok, ControlKind::DefaultPushButton, "OK", 90, 100, 50, 14, 0, ""},
            {os::id::Cancel, ControlKind::PushButton, "Cancel", 145, 100, 50, 14, 0, ""},
        },
    };
    return dialog;
}

class TestDialog final : public windows::mfc::Dialog {
public:
    TestDialog() : Dialog(testTemplate()) {
        onClicked(ButtonId, [this] { log.push_back("button"); });
        onClicked(LinkId, [this] { log.push_back("link"); });
        onClicked(NestedId, [this] { log.push_back("nested " + std::to_string(inner.doModal())); });
        on(Notification::SelectionChanged, ComboId, [this](const os::DialogEvent& event) {
            log.push_back("combo " + std::to_string(event.value));
            return std::intptr_t{0};
        });
        onMessage(PingMessage, [this](const os::DialogEvent& event) -> std::intptr_t {
            log.push_back("ping " + std::to_string(event.wParam));
            return 42;
        });
        on(Notification::Destroy, 0, [this](const os::DialogEvent&) {
            log.push_back("destroy");
            return std::intptr_t{0};
        });
    }

    void doDataExchange(windows::mfc::DataExchange& exchange) override {
        exchange.check(CheckId, checked);
        exchange.text(NameId, name);
    }

    bool onInitDialog() override {
        log.push_back("init");
        return Dialog::onInitDialog();
    }

    void onOK() override {
        updateData(true);
        if (name.empty()) {
            view().messageBox("A name, please.", "Test", os::mb::IconError);
            return;
        }
        Dialog::onOK();
    }

    using Dialog::updateData;

    int checked = 1;
    std::string name = "start";
    std::vector<std::string> log;
    windows::mfc::Dialog inner{testTemplate()};
};

class DialogTest : public testing_support::SimDesktopTest {
protected:
    TestDialog dialog;
};

TEST_F(DialogTest, TheMessageMapGetsWhatTheUserCanDo) {
    ASSERT_TRUE(dialog.create(0));
    os::sim::HeadlessView* view = desktop.views.find(901);
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(dialog.getHandle(), view->getHandle());
    // Initialisation copied the fields into the controls and set the focus.
    EXPECT_TRUE(view->isChecked(CheckId));
    EXPECT_EQ(view->getText(NameId), "start");
    EXPECT_EQ(view->focus(), NameId);

    EXPECT_TRUE(view->click(ButtonId));
    EXPECT_TRUE(view->click(LinkId));
    EXPECT_TRUE(view->click(CheckId));
    EXPECT_FALSE(view->isChecked(CheckId));
    EXPECT_FALSE(view->click(HiddenId));
    view->enableControl(ButtonId, false);
    EXPECT_FALSE(view->click(ButtonId));
    EXPECT_FALSE(view->click(999));

    EXPECT_TRUE(view->type(NameId, "Ada"));
    dialog.updateData(true);
    EXPECT_EQ(dialog.checked, 0);
    EXPECT_EQ(dialog.name, "Ada");

    // Messages posted to the window reach the map when the thread dispatches them.
    ASSERT_TRUE(desktop.windows.postMessage(dialog.getHandle(), PingMessage, 7, 0));
    const auto message = desktop.windows.takeMessage();
    ASSERT_TRUE(message.has_value());
    EXPECT_EQ(desktop.windows.dispatchMessage(*message), 42);

    EXPECT_EQ(dialog.log, (std::vector<std::string>{"init", "button", "link", "ping 7"}));

    dialog.destroy();
    EXPECT_FALSE(dialog.hasWindow());
    EXPECT_EQ(dialog.log.back(), "destroy");
    EXPECT_EQ(desktop.views.find(901), nullptr);
    EXPECT_FALSE(desktop.windows.isWindow(message->window));
}

TEST_F(DialogTest, TipsShowOnlyWhileTooltipsAreOn) {
    ASSERT_TRUE(dialog.create(0));
    os::sim::HeadlessView& view = *desktop.views.find(901);
    EXPECT_EQ(view.hover(ButtonId), "");
    view.enableToolTips(true);
    EXPECT_EQ(view.hover(ButtonId), "Press it.");
    EXPECT_EQ(view.hover(HiddenId), "");
    EXPECT_EQ(view.hover(CheckId), "");
}

TEST_F(DialogTest, SortedDropDownListsKeepTheirEntriesInOrder) {
    ASSERT_TRUE(dialog.create(0));
    os::sim::HeadlessView& view = *desktop.views.find(901);
    EXPECT_EQ(view.addComboItem(ComboId, "work"), 0);
    EXPECT_EQ(view.addComboItem(ComboId, "Default"), 0);
    EXPECT_EQ(view.addComboItem(ComboId, "Zeta"), 2);
    EXPECT_EQ(view.comboItems(ComboId), (std::vector<std::string>{"Default", "work", "Zeta"}));
    EXPECT_TRUE(view.selectComboItem(ComboId, 1));
    EXPECT_EQ(view.getText(ComboId), "work");
    EXPECT_FALSE(view.selectComboItem(ComboId, 3));
    EXPECT_FALSE(view.setComboSelection(ComboId, 5));
    EXPECT_EQ(view.getComboSelection(ComboId), -1);
    EXPECT_EQ(dialog.log.back(), "combo 1");
}

TEST_F(DialogTest, ModalDialogsRunTheTestsScriptAndReturnHowTheyEnded) {
    desktop.views.whenModal([](os::sim::HeadlessView& view) {
        EXPECT_TRUE(view.type(NameId, ""));
        EXPECT_TRUE(view.click(os::id::Ok));
        EXPECT_FALSE(view.hasEnded());
        EXPECT_TRUE(view.type(NameId, "Grace"));
        EXPECT_TRUE(view.click(os::id::Ok));
        EXPECT_FALSE(view.click(ButtonId));
    });
    EXPECT_EQ(dialog.doModal(), os::id::Ok);
    EXPECT_EQ(dialog.name, "Grace");
    EXPECT_FALSE(dialog.hasWindow());
    ASSERT_EQ(desktop.dialogs.shown().size(), 1U);
    EXPECT_EQ(desktop.dialogs.shown()[0].text, "A name, please.");
    EXPECT_NE(desktop.dialogs.shown()[0].owner, 0U);

    // A dialog opened from inside another takes the next script; without one the user
    // closes it, which cancels.
    desktop.views.whenModal([](os::sim::HeadlessView& view) {
        EXPECT_TRUE(view.click(NestedId));
        EXPECT_TRUE(view.close());
    });
    desktop.views.whenModal([](os::sim::HeadlessView& view) { view.click(os::id::Ok); });
    EXPECT_EQ(dialog.doModal(), os::id::Cancel);
    EXPECT_EQ(dialog.doModal(), os::id::Cancel);
    EXPECT_NE(std::find(dialog.log.begin(), dialog.log.end(), "nested 1"), dialog.log.end());
    const auto& runs = desktop.views.modalRuns();
    ASSERT_EQ(runs.size(), 4U);
    EXPECT_EQ(runs[1].templateId, 901);
    EXPECT_EQ(runs[1].result, os::id::Ok);
    EXPECT_EQ(runs[2].result, os::id::Cancel);
    EXPECT_EQ(runs[3].result, os::id::Cancel);
}

// A sheet whose presenter takes one thread message and leaves the frame's commands alone.
class TestSheet final : public windows::mfc::Dialog {
public:
    TestSheet() : Dialog(testTemplate()) {
        on(Notification::PreTranslate, 0, [this](const os::DialogEvent& event) -> std::intptr_t {
            log.push_back("pre " + std::to_string(event.message));
            return event.message == PingMessage ? 1 : 0;
        });
        onMessage(PingMessage + 1, [this](const os::DialogEvent&) -> std::intptr_t {
            log.push_back("dispatched");
            return 0;
        });
        on(Notification::Minimized, 0, [this](const os::DialogEvent&) -> std::intptr_t {
            log.push_back("minimized");
            return 0;
        });
    }
    std::vector<std::string> log;
};

class TestPage final : public windows::mfc::PropertyPage {
public:
    explicit TestPage(std::vector<std::string>& pageLog)
        : PropertyPage(testTemplate()), log(pageLog) {}

protected:
    bool onSetActive() override {
        log.push_back("active");
        return PropertyPage::onSetActive();
    }

private:
    std::vector<std::string>& log;
};

TEST_F(DialogTest, SheetsShowTheirPagesAndOfferThreadMessagesFirst) {
    TestSheet sheet;
    std::vector<std::string> pageLog;
    TestPage first(pageLog);
    TestPage second(pageLog);
    desktop.views.whenModal([&](os::sim::HeadlessView& view) {
        EXPECT_EQ(view.tabs(), (std::vector<std::string>{"Test", "Test"}));
        EXPECT_EQ(view.currentTab(), 0);
        EXPECT_EQ(pageLog, (std::vector<std::string>{"active"}));
        EXPECT_TRUE(view.selectTab(1));
        EXPECT_FALSE(view.selectTab(2));
        EXPECT_EQ(view.currentTab(), 1);

        // No system menu without its style.
        EXPECT_TRUE(view.systemMenu().empty());
        EXPECT_FALSE(view.insertSystemMenuItem(0, os::sc::Minimize, "Mi&nimize"));
        view.modifyStyle(0, os::ws::SysMenu);
        EXPECT_TRUE(view.insertSystemMenuItem(0, os::sc::Minimize, "Mi&nimize"));
        EXPECT_EQ(view.systemMenu().front().text, "Mi&nimize");

        view.pumpMessages();
        sheet.log.clear();
        desktop.windows.postMessage(view.getHandle(), PingMessage, 0, 0);
        desktop.windows.postMessage(view.getHandle(), PingMessage + 1, 0, 0);
        EXPECT_EQ(view.pumpMessages(), 2);
        EXPECT_EQ(sheet.log, (std::vector<std::string>{"pre " + std::to_string(PingMessage),
                                                       "pre " + std::to_string(PingMessage + 1),
                                                       "dispatched"}));

        // Commands the presenter leaves alone are the toolkit's.
        EXPECT_TRUE(view.systemCommand(os::sc::Minimize));
        EXPECT_TRUE(view.isMinimized());
        EXPECT_EQ(sheet.log.back(), "minimized");
        EXPECT_TRUE(view.systemCommand(os::sc::Close));
        EXPECT_TRUE(view.hasEnded());
    });
    const unsigned flags = 0x8C;
    const int result = os::dialogViews().runSheet(
        testTemplate(), sheet, {{&testTemplate(), &first}, {&testTemplate(), &second}}, flags, 0);
    EXPECT_EQ(result, os::id::Cancel);
    EXPECT_EQ(pageLog, (std::vector<std::string>{"active", "active"}));
    EXPECT_FALSE(first.hasWindow());
}

}  // namespace
