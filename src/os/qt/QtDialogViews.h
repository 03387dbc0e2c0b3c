#pragma once

#include "os/DialogView.h"
#include "os/Errors.h"
#include "os/Windows.h"
#include "os/common/DialogFrame.h"
#include "os/common/ViewRoutes.h"
#include "os/qt/DialogUnits.h"
#include "os/qt/QtMessagePump.h"
#include "os/qt/QtResources.h"
#include "os/qt/QueueWakeup.h"

#include <QPointer>
#include <QWidget>
#include <chrono>
#include <exception>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QEventLoop;
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
    const DialogUnits& units() const { return units_; }
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
    void connectControl(int id, const ControlTemplate& item, QWidget* widget);
    void applyFrame();
    void addPage(std::unique_ptr<QtView> page);
    void layoutSheet();
    void tabChanged(int index);
    void pressDefaultButton();
    void reportSelection(int id);
    bool fail() const;
    Control* find(int id);
    const Control* find(int id) const;
    QWidget* frameWidget() const;

    QtDialogViews& owner_;
    const DialogTemplate& template_;
    DialogEvents& events_;
    WindowHandle window_;
    Kind kind_;
    DialogUnits units_;
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

// The Qt toolkit: dialogs and pages from their templates, modal loops that are Qt event
// loops, and the pump that brings the thread's posted messages into them. Must be used on
// the thread that runs the QApplication.
class QtDialogViews final : public DialogViews {
    friend class QtView;

public:
    // `windows` is the desktop's window system, which keeps the views' windows and queues.
    QtDialogViews(Windows& windows, Errors& errors, QtResources& resources,
                  QueueWakeup* wakeup = nullptr,
                  std::chrono::milliseconds pollInterval = std::chrono::milliseconds(10));
    ~QtDialogViews() override;
    QtDialogViews(const QtDialogViews&) = delete;
    QtDialogViews& operator=(const QtDialogViews&) = delete;

    std::unique_ptr<DialogView> createView(const DialogTemplate& dialogTemplate,
                                           DialogEvents& events, WindowHandle parent) override;
    int runModal(const DialogTemplate& dialogTemplate, DialogEvents& events,
                 WindowHandle parent) override;
    int runSheet(const DialogTemplate& sheetTemplate, DialogEvents& events,
                 const std::vector<SheetPage>& pages, unsigned flags, WindowHandle parent) override;

    // The newest open dialog or page made from the template, or nullptr.
    QtView* find(int templateId) const;
    // The open dialog or page whose window this is, or nullptr.
    QtView* viewOf(WindowHandle window) const;
    // The pump of the posted messages; it starts with the first view.
    QtMessagePump& pump();
    QtResources& resources() { return resources_; }
    // A presenter's failure that no modal loop was running to take, once.
    std::exception_ptr takeFailure();

private:
    struct ModalFrame {
        QtView* view = nullptr;
        QEventLoop* loop = nullptr;
        std::exception_ptr failure;
    };

    std::unique_ptr<QtView> make(const DialogTemplate& dialogTemplate, DialogEvents& events,
                                 WindowHandle parent, QtView::Kind kind, QWidget* parentWidget);
    void initialise(QtView& view);
    // Shows the dialog, runs its loop until it ends and takes it down; throws a failure of
    // its presenters on.
    int runLoop(std::unique_ptr<QtView> view, ModalFrame& frame);
    void fail(std::exception_ptr failure);
    // Ends the modal loop of the view; false when it has none.
    bool endLoopOf(const QtView* view);
    void forget(QtView* view, WindowHandle window);
    bool preTranslate(const Message& message);

    Windows& windows_;
    Errors& errors_;
    QtResources& resources_;
    QueueWakeup* wakeup_;
    std::chrono::milliseconds pollInterval_;
    std::unique_ptr<QtMessagePump> pump_;
    std::vector<QtView*> open_;
    std::vector<ModalFrame*> frames_;
    std::vector<QtView*> sheets_;
    std::exception_ptr orphanFailure_;
};

}  // namespace os::qt
