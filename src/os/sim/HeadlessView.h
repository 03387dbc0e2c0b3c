#pragma once

#include "os/DialogView.h"
#include "os/common/DialogFrame.h"
#include "os/common/ViewRoutes.h"
#include "os/sim/HeadlessControl.h"

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace os::sim {

class HeadlessViews;

// A dialog or page of the headless toolkit: every control's state is kept in memory, and a
// test plays the user through it. Its window is a window of the simulated desktop, so
// posted messages reach the presenter when the test dispatches them.
class HeadlessView final : public DialogView, public common::ViewRoutes::Target {
    friend class HeadlessViews;

public:
    HeadlessView(HeadlessViews& owner, const DialogTemplate& dialogTemplate, DialogEvents& events,
                 WindowHandle window);
    // Sends Destroy, detaches the presenter and removes the window.
    ~HeadlessView() override;
    HeadlessView(const HeadlessView&) = delete;
    HeadlessView& operator=(const HeadlessView&) = delete;

    // The toolkit's side.
    WindowHandle getHandle() const override { return window_; }
    void setCaption(const std::string& caption) override { caption_ = caption; }
    Rect getClientRect() const override { return client_; }
    bool setText(int id, const std::string& text) override;
    std::string getText(int id) const override;
    bool enableControl(int id, bool enable) override;
    bool showControl(int id, bool show) override;
    Rect getControlRect(int id) const override;
    bool moveControl(int id, const Rect& rect) override;
    bool setFocus(int id) override;
    FontStyle getFont(int id) const override;
    bool setFont(int id, const FontStyle& font) override;
    bool setTextColour(int id, std::uint32_t colour) override;
    bool setCheck(int id, bool checked) override;
    bool isChecked(int id) const override;
    bool setListColumns(int id, const std::vector<ListColumn>& columns,
                        unsigned extendedStyle) override;
    bool insertListRow(int id, int index, const std::vector<std::string>& texts) override;
    bool deleteListRow(int id, int index) override;
    bool deleteAllListRows(int id) override;
    bool setListSelection(int id, const std::vector<int>& rows) override;
    bool resetCombo(int id) override;
    int addComboItem(int id, const std::string& text) override;
    bool setComboSelection(int id, int index) override;
    int getComboSelection(int id) const override;
    std::string getComboItemText(int id, int index) const override;
    void enableToolTips(bool enable) override { toolTips_ = enable; }
    void endDialog(int result) override;
    int messageBox(const std::string& text, const std::string& caption, unsigned style) override;
    void modifyStyle(unsigned remove, unsigned add) override;
    void setIcon(IconHandle icon) override { icon_ = icon; }
    bool insertSystemMenuItem(int position, int command, const std::string& text) override;

    // What a test reads.
    int templateId() const { return template_.id; }
    const std::string& caption() const { return caption_; }
    bool hasControl(int id) const { return controls_.count(id) != 0; }
    bool isEnabled(int id) const;
    bool isVisible(int id) const;
    // The control with the keyboard focus, 0 for none.
    int focus() const { return focus_; }
    std::vector<ListColumn> listColumns(int id) const;
    unsigned listExtendedStyle(int id) const;
    std::vector<std::vector<std::string>> listRows(int id) const;
    std::vector<int> listSelection(int id) const;
    std::vector<std::string> comboItems(int id) const;
    std::uint32_t textColour(int id) const;
    bool toolTipsEnabled() const { return toolTips_; }
    // The tip that shows while the mouse rests on the control; empty when none does.
    std::string hover(int id) const;
    bool hasEnded() const { return result_.has_value(); }
    // The result given to endDialog, -1 before.
    int result() const { return result_.value_or(-1); }

    // What the user does. Each returns false when the user could not do it: the control is
    // missing, hidden or disabled, the row or column does not exist, or the dialog has
    // ended.
    // A push button, a check box (which toggles first) or a notifying label.
    bool click(int id);
    // Replaces an edit box's text.
    bool type(int id, const std::string& text);
    // Focuses the control and presses and releases the key there: a list reports the key
    // going down, an edit box the key going up.
    bool pressKey(int id, int virtualKey);
    bool selectRows(int id, const std::vector<int>& rows);
    // A double click on a row, or with -1 on the empty space below the rows, which clears
    // the selection first.
    bool doubleClick(int id, int row);
    bool clickColumn(int id, int column);
    bool selectComboItem(int id, int index);
    // The page becomes the current page of its sheet; returns the presenter's answer.
    bool activate();
    bool resize(int width, int height);
    // The close box: a dialog is cancelled as if its Cancel button had been pressed.
    bool close();
    // A message sent to the dialog's window; returns the presenter's answer.
    std::intptr_t send(unsigned int message, std::uintptr_t wParam, std::intptr_t lParam);

    // The presenter's answer to one event.
    std::intptr_t deliver(const DialogEvent& event) override;

    // The frame, as a test reads it.
    using MenuItem = common::DialogFrame::MenuItem;
    unsigned frameStyle() const { return frame_.style(); }
    IconHandle icon() const { return icon_; }
    // Empty while the window has no system menu.
    std::vector<MenuItem> systemMenu() const { return frame_.menu(); }
    bool isMinimized() const { return minimized_; }

    // A command of the system menu or the frame (the close box is sc::Close, the minimise
    // box sc::Minimize); what the presenter leaves unhandled is done as the toolkit does.
    bool systemCommand(int command);
    // The window goes to the taskbar.
    bool minimize();
    // The modal loop's turn: every message waiting in the calling thread's queue is offered
    // to the presenter first and dispatched unless it took it. Returns how many there were.
    int pumpMessages();
    // The same, telling the observer each message as the loop takes it, and nullopt once
    // the queue is empty (a test plays what the system keeps per message with it).
    int pumpMessages(const std::function<void(const std::optional<Message>&)>& taking);

    // Property sheets: the pages' captions in tab order, the selected tab, and a click on a
    // tab. A dialog that is not a sheet has no tabs.
    std::vector<std::string> tabs() const;
    int currentTab() const { return currentTab_; }
    bool selectTab(int index);
    unsigned sheetFlags() const { return sheetFlags_; }

private:
    using Control = HeadlessControl;

    Control* find(int id);
    const Control* find(int id) const;
    // The control if it is of the kind; otherwise nullptr, with "control not found".
    Control* find(int id, ControlKind kind);
    const Control* find(int id, ControlKind kind) const;
    // The control, if the user can reach it: present, visible and enabled, dialog open.
    Control* usable(int id);
    bool fail() const;

    HeadlessViews& owner_;
    const DialogTemplate& template_;
    DialogEvents& events_;
    WindowHandle window_;
    std::string caption_;
    Rect client_;
    std::map<int, Control> controls_;
    int focus_ = 0;
    bool toolTips_ = false;
    std::optional<int> result_;
    common::DialogFrame frame_;
    IconHandle icon_ = 0;
    bool minimized_ = false;
    std::vector<std::unique_ptr<HeadlessView>> pages_;
    int currentTab_ = -1;
    unsigned sheetFlags_ = 0;
};

}  // namespace os::sim
