#pragma once

#include "os/DialogView.h"
#include "os/common/DialogFrame.h"
#include "os/common/DialogUnits.h"
#include "os/common/ViewRoutes.h"

#include <QPointer>
#include <QWidget>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QTabWidget;

namespace os::qt {

class QtDialogViews;

// One dialog, page or property sheet on the screen, laid out from its template in dialog
// units of the desktop's font. Every control is a Qt widget; what the user does with them
// reaches the presenter as events.
class QtView final : public DialogView, public common::ViewRoutes::Target {
    friend class QtDialogViews;

public:
    enum class Kind { Dialog, Page, Sheet };

    using MenuItem = common::DialogFrame::MenuItem;

    QtView(QtDialogViews& owner, const DialogTemplate& dialogTemplate, DialogEvents& events,
           WindowHandle window, Kind kind, QWidget* parentWidget);
    // Sends Destroy, detaches the presenter, removes the widgets and the window.
    ~QtView() override;
    QtView(const QtView&) = delete;
    QtView& operator=(const QtView&) = delete;

    WindowHandle getHandle() const override { return window_; }
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

    // What the toolkit and tests read.
    Kind kind() const { return kind_; }
    int templateId() const;
    // The dialog's own widget: its window, or the page inside its sheet.
    QWidget* widget() const { return root_; }
    // The control's widget, nullptr for an unknown id.
    QWidget* control(int id) const;
    // Every widget made from the template, the unnamed labels and group boxes included, in
    // template order.
    const std::vector<QWidget*>& widgets() const { return ordered_; }
    const common::DialogUnits& units() const { return units_; }
    bool toolTipsEnabled() const { return toolTips_; }
    bool hasEnded() const { return result_.has_value(); }
    int result() const { return result_.value_or(-1); }
    unsigned frameStyle() const { return frame_.style(); }
    unsigned listExtendedStyle(int id) const;
    IconHandle icon() const { return icon_; }
    // Empty while the window has no system menu.
    std::vector<MenuItem> systemMenu() const { return frame_.menu(); }
    // Sheets: the tabs and the pages behind them.
    QTabWidget* tabs() const { return tabs_; }
    std::vector<QtView*> pages() const;
    unsigned sheetFlags() const { return sheetFlags_; }

    // The presenter's answer to an event. A failure thrown by the presenter ends the
    // innermost modal loop, which throws it on to its caller.
    std::intptr_t deliver(const DialogEvent& event) override;

    // The frame, as the window functions of the port change it. Returns whether the window
    // was visible before.
    bool showFrame(int command);

    // The frame's own events.
    void closeBoxPressed();
    void escapePressed();
    void minimized();
    void resized();

    // Whether the presenter is setting a text: edit boxes do not echo it back as a change.
    bool settingText() const { return settingText_; }

private:
    struct Control {
        ControlKind kind = ControlKind::Label;
        unsigned style = 0;
        std::string tip;
        QWidget* widget = nullptr;
        unsigned extendedStyle = 0;
    };

    void build();
    QWidget* makeControl(const ControlTemplate& item, QWidget* parent);
    void applyFrame();
    void addPage(std::unique_ptr<QtView> page);
    void layoutSheet();
    void tabChanged(int index);
    bool fail() const;
    Control* find(int id);
    const Control* find(int id) const;
    // The control's widget if it is of the kind; otherwise nullptr, with "control not found".
    template <class Widget>
    Widget* widgetOf(int id, ControlKind kind) const {
        const Control* control = find(id);
        if (control == nullptr || control->kind != kind) {
            fail();
            return nullptr;
        }
        return static_cast<Widget*>(control->widget);
    }
    QWidget* frameWidget() const;

    QtDialogViews& owner_;
    const DialogTemplate& template_;
    DialogEvents& events_;
    WindowHandle window_;
    Kind kind_;
    common::DialogUnits units_;
    QPointer<QWidget> root_;
    std::map<int, Control> controls_;
    std::vector<QWidget*> ordered_;
    bool toolTips_ = false;
    bool initialised_ = false;
    bool detached_ = false;
    bool pendingShow_ = false;
    bool settingText_ = false;
    int lastWidth_ = -1;
    int lastHeight_ = -1;
    std::optional<int> result_;
    common::DialogFrame frame_;
    IconHandle icon_ = 0;
    bool wasMinimized_ = false;
    // Sheets.
    QTabWidget* tabs_ = nullptr;
    std::vector<std::unique_ptr<QtView>> pages_;
    int currentTab_ = -1;
    bool switchingTabs_ = false;
    unsigned sheetFlags_ = 0;
};

}  // namespace os::qt
