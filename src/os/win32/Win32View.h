#pragma once

#include "os/DialogView.h"

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace os::win32 {

class Win32DialogViews;

// One dialog, property page or property sheet of the system's dialog manager, its controls
// addressed by id. What the user does with the controls reaches the presenter as events,
// from the procedures of Win32DialogViews.
class Win32View final : public DialogView {
    friend class Win32DialogViews;

public:
    enum class Kind { Modeless, Modal, Page, Sheet };

    Win32View(Win32DialogViews& owner, const DialogTemplate& dialogTemplate, DialogEvents& events,
              Kind kind);
    // Destroys the window if the view made it and it still exists.
    ~Win32View() override;
    Win32View(const Win32View&) = delete;
    Win32View& operator=(const Win32View&) = delete;

    WindowHandle getHandle() const override { return reinterpret_cast<WindowHandle>(window_); }
    void setCaption(const std::string& caption) override;
    Rect getClientRect() const override;
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
    void enableToolTips(bool enable) override;
    void endDialog(int result) override;
    int messageBox(const std::string& text, const std::string& caption, unsigned style) override;
    void modifyStyle(unsigned remove, unsigned add) override;
    void setIcon(IconHandle icon) override;
    bool insertSystemMenuItem(int position, int command, const std::string& text) override;

    Kind kind() const { return kind_; }
    int templateId() const { return template_.id; }
    bool hasEnded() const { return result_.has_value(); }
    int result() const { return result_.value_or(-1); }
    // The selected rows of a list, ascending.
    std::vector<int> listSelection(int id) const;

    // The presenter's answer to an event; a failure it throws ends the innermost modal loop,
    // which throws it on.
    std::intptr_t deliver(const DialogEvent& event);

private:
    using Handle = void*;

    Handle handle() const { return window_; }
    // The control's window, or nullptr with the last error set.
    Handle control(int id) const;
    const ControlTemplate* templateOf(int id) const;
    // Once the window exists: what the template cannot say, then the presenter's InitDialog.
    std::intptr_t initialise(Handle window);
    void prepareControls();
    void destroyed();
    // A list's selection, reported once the system's notifications for one change are over.
    void selectionMayHaveChanged(int id);
    void reportSelection(int id);
    // The colour for a label's text, if the presenter chose one.
    std::optional<std::uint32_t> textColour(int id) const;

    Win32DialogViews& owner_;
    const DialogTemplate& template_;
    DialogEvents& events_;
    Kind kind_;
    Handle window_ = nullptr;
    Handle toolTips_ = nullptr;
    bool attached_ = false;
    // Changes the program makes are not the user's: they report nothing.
    int quiet_ = 0;
    std::optional<int> result_;
    std::map<int, std::uint32_t> colours_;
    std::map<int, Handle> fonts_;
    std::map<int, std::vector<int>> reportedSelections_;
    std::set<int> pendingSelections_;
    std::vector<Handle> pictures_;
};

}  // namespace os::win32
