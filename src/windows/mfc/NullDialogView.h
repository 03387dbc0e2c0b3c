#pragma once

#include "os/DialogView.h"

namespace windows::mfc {

// The view of a dialog whose window does not exist: every change goes nowhere and every
// question has the empty answer, so a presenter needs no checks of its own.
class NullDialogView final : public os::DialogView {
public:
    static NullDialogView& instance();

    os::WindowHandle getHandle() const override { return 0; }
    void setCaption(const std::string&) override {}
    os::Rect getClientRect() const override { return {}; }
    bool setText(int, const std::string&) override { return false; }
    std::string getText(int) const override { return {}; }
    bool enableControl(int, bool) override { return false; }
    bool showControl(int, bool) override { return false; }
    os::Rect getControlRect(int) const override { return {}; }
    bool moveControl(int, const os::Rect&) override { return false; }
    bool setFocus(int) override { return false; }
    os::FontStyle getFont(int) const override { return {}; }
    bool setFont(int, const os::FontStyle&) override { return false; }
    bool setTextColour(int, std::uint32_t) override { return false; }
    bool setCheck(int, bool) override { return false; }
    bool isChecked(int) const override { return false; }
    bool setListColumns(int, const std::vector<os::ListColumn>&, unsigned) override {
        return false;
    }
    bool insertListRow(int, int, const std::vector<std::string>&) override { return false; }
    bool deleteListRow(int, int) override { return false; }
    bool deleteAllListRows(int) override { return false; }
    bool setListSelection(int, const std::vector<int>&) override { return false; }
    bool resetCombo(int) override { return false; }
    int addComboItem(int, const std::string&) override { return -1; }
    bool setComboSelection(int, int) override { return false; }
    int getComboSelection(int) const override { return -1; }
    std::string getComboItemText(int, int) const override { return {}; }
    void enableToolTips(bool) override {}
    void endDialog(int) override {}
    // Without a window nobody can answer: the answer that changes nothing.
    int messageBox(const std::string&, const std::string&, unsigned style) override;
    void modifyStyle(unsigned, unsigned) override {}
    void setIcon(os::IconHandle) override {}
    bool insertSystemMenuItem(int, int, const std::string&) override { return false; }
};

}  // namespace windows::mfc
