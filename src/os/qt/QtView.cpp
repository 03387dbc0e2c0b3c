#include "os/qt/QtView.h"

#include "os/ErrorCodes.h"
#include "os/common/ControlKindTraits.h"
#include "os/qt/QtComboKind.h"
#include "os/qt/QtControlKind.h"
#include "os/qt/QtConvert.h"
#include "os/qt/QtDialogViews.h"
#include "os/qt/QtDialogs.h"
#include "os/qt/QtListKind.h"
#include "os/qt/QtViewFrames.h"

#include <QComboBox>
#include <QDialog>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>
#include <QWindow>
#include <algorithm>
#include <cstdlib>

namespace os::qt {

QtView::QtView(QtDialogViews& owner, const DialogTemplate& dialogTemplate, DialogEvents& events,
               WindowHandle window, Kind kind, QWidget* parentWidget)
    : owner_(owner),
      template_(dialogTemplate),
      events_(events),
      window_(window),
      kind_(kind),
      units_(QtDialogViews::dialogUnits()) {
    if (kind_ == Kind::Page || (parentWidget != nullptr && kind_ == Kind::Dialog &&
                                (dialogTemplate.style & ds::Caption) == 0)) {
        root_ = new QtPageWidget(*this, parentWidget);
    } else {
        root_ = new QtDialogWindow(*this, parentWidget);
    }
    root_->setFont(QtDialogViews::dialogFont());
    if ((dialogTemplate.style & ds::SystemMenu) != 0) {
        frame_.modifyStyle(0, ws::SysMenu);
    }
    build();
    QtDialogViews::Routes::table().add(window_, *this);
}

QtView::~QtView() {
    // A sheet's pages go with it; taking their tabs away activates none of them.
    switchingTabs_ = true;
    pages_.clear();
    DialogEvent destroy;
    destroy.notification = Notification::Destroy;
    deliver(destroy);
    // Widgets going away below may still signal: nothing reaches the presenter any more.
    detached_ = true;
    events_.attachView(nullptr);
    QtDialogViews::Routes::table().remove(window_);
    if (root_) {
        root_->hide();
        delete root_.data();
    }
    owner_.forget(this, window_);
}

int QtView::templateId() const {
    return template_.id;
}

QWidget* QtView::frameWidget() const {
    return kind_ == Kind::Page ? root_.data() : root_->window();
}

void QtView::build() {
    QWidget* client = root_;
    if (kind_ == Kind::Sheet) {
        tabs_ = new QTabWidget(root_);
        QObject::connect(tabs_, &QTabWidget::currentChanged,
                         [this](int index) { tabChanged(index); });
    }
    std::vector<QWidget*> behind;
    for (const ControlTemplate& item : template_.controls) {
        QWidget* widget = makeControl(item, client);
        if (widget == nullptr) {
            continue;
        }
        ordered_.push_back(widget);
        if ((item.style & cs::Hidden) != 0) {
            widget->setHidden(true);
        }
        if ((item.style & cs::Disabled) != 0) {
            widget->setEnabled(false);
        }
        if (item.id != NoControlId) {
            Control control;
            control.kind = item.kind;
            control.style = item.style;
            control.tip = item.tip;
            control.widget = widget;
            controls_[item.id] = control;
            QtControlKind::of(item.kind).connect(*this, item.id, item, widget);
        }
        if (QtControlKind::of(item.kind).liesBehind()) {
            behind.push_back(widget);
        }
    }
    for (QWidget* widget : behind) {
        widget->lower();
    }
    if (kind_ == Kind::Sheet) {
        layoutSheet();
    } else {
        const Rect client_size = units_.toPixels(0, 0, template_.width, template_.height);
        if (kind_ == Kind::Page) {
            root_->setMinimumSize(client_size.right, client_size.bottom);
            root_->resize(client_size.right, client_size.bottom);
        } else if ((template_.style & ds::Resizable) != 0) {
            root_->resize(client_size.right, client_size.bottom);
        } else {
            root_->setFixedSize(client_size.right, client_size.bottom);
        }
    }
    if (kind_ != Kind::Page) {
        root_->setWindowTitle(toQt(template_.caption));
        applyFrame();
    }
}

QWidget* QtView::makeControl(const ControlTemplate& item, QWidget* parent) {
    const QtControlKind& kind = QtControlKind::of(item.kind);
    const QtControlKind::Context context{owner_.resources(), units_, kind_ == Kind::Page,
                                         units_.x(template_.width)};
    QWidget* widget = kind.make(item, context, parent);
    if (!common::ControlKindTraits::of(item.kind).takesFocus) {
        widget->setFocusPolicy(Qt::NoFocus);
    }
    // Sheet buttons keep their distance from the right edge; placed in layoutSheet.
    if (kind_ != Kind::Sheet) {
        const QRect rect = toQRect(units_.toPixels(item.x, item.y, item.width, item.height));
        if (rect.isValid()) {
            const QRect fitted = kind.fit(widget, item, rect, context);
            if (fitted.isValid()) {
                widget->setGeometry(fitted);
            }
        }
    }
    return widget;
}

void QtView::applyFrame() {
    if (kind_ == Kind::Page || qobject_cast<QDialog*>(root_.data()) == nullptr) {
        return;
    }
    Qt::WindowFlags flags = (kind_ == Kind::Sheet ? Qt::Window : Qt::Dialog) |
                            Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if ((frame_.style() & ws::SysMenu) != 0) {
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    }
    if ((frame_.style() & ws::MinimizeBox) != 0) {
        flags |= Qt::WindowMinimizeButtonHint;
    }
    if (root_->windowFlags() == flags) {
        return;
    }
    const bool visible = root_->isVisible();
    root_->setWindowFlags(flags);
    if (visible) {
        root_->show();
    }
}

void QtView::addPage(std::unique_ptr<QtView> page) {
    switchingTabs_ = true;
    tabs_->addTab(page->widget(), toQt(page->template_.caption));
    switchingTabs_ = false;
    pages_.push_back(std::move(page));
}

void QtView::layoutSheet() {
    // The tabs hold the largest page; the buttons keep their template distance from the
    // right edge, below the tabs.
    const int marginX = units_.x(4);
    const int marginY = units_.y(4);
    tabs_->move(marginX, marginY);
    tabs_->resize(tabs_->sizeHint().expandedTo(tabs_->minimumSizeHint()));
    int buttonHeight = 0;
    for (const ControlTemplate& item : template_.controls) {
        buttonHeight = std::max(buttonHeight, units_.y(item.height));
    }
    const int width = std::max(tabs_->width() + 2 * marginX, units_.x(template_.width));
    const int buttonsTop = marginY + tabs_->height() + marginY;
    for (const ControlTemplate& item : template_.controls) {
        const Control* control = find(item.id);
        if (control == nullptr) {
            continue;
        }
        const int left = width - units_.x(template_.width - item.x);
        control->widget->setGeometry(left, buttonsTop, units_.x(item.width), units_.y(item.height));
    }
    root_->setFixedSize(width, buttonsTop + buttonHeight + marginY);
}

void QtView::tabChanged(int index) {
    if (switchingTabs_ || index < 0 || index >= static_cast<int>(pages_.size())) {
        return;
    }
    DialogEvent activate;
    activate.notification = Notification::Activate;
    if (pages_[static_cast<std::size_t>(index)]->deliver(activate) != 0) {
        currentTab_ = index;
        return;
    }
    // The page refused: the previous one stays.
    switchingTabs_ = true;
    tabs_->setCurrentIndex(currentTab_);
    switchingTabs_ = false;
}

std::vector<QtView*> QtView::pages() const {
    std::vector<QtView*> pages;
    for (const auto& page : pages_) {
        pages.push_back(page.get());
    }
    return pages;
}

std::intptr_t QtView::deliver(const DialogEvent& event) {
    if (detached_) {
        return 0;
    }
    try {
        return events_.handleEvent(event);
    } catch (...) {
        owner_.fail(std::current_exception());
        return 0;
    }
}

bool QtView::fail() const {
    owner_.errors_.setLastError(error::ControlIdNotFound);
    return false;
}

QtView::Control* QtView::find(int id) {
    const auto found = controls_.find(id);
    return found == controls_.end() ? nullptr : &found->second;
}

const QtView::Control* QtView::find(int id) const {
    const auto found = controls_.find(id);
    return found == controls_.end() ? nullptr : &found->second;
}

QWidget* QtView::control(int id) const {
    const Control* found = find(id);
    return found == nullptr ? nullptr : found->widget;
}

void QtView::setCaption(const std::string& caption) {
    if (kind_ == Kind::Page) {
        if (auto* tabs = qobject_cast<QTabWidget*>(
                root_->parentWidget() ? root_->parentWidget()->parentWidget() : nullptr)) {
            tabs->setTabText(tabs->indexOf(root_), toQt(caption));
        }
        return;
    }
    root_->setWindowTitle(toQt(caption));
}

Rect QtView::getClientRect() const {
    return Rect{0, 0, root_->width(), root_->height()};
}

bool QtView::setText(int id, const std::string& text) {
    Control* control = find(id);
    if (control == nullptr) {
        return fail();
    }
    settingText_ = true;
    QtControlKind::of(control->kind).setText(control->widget, text, owner_.resources());
    settingText_ = false;
    return true;
}

std::string QtView::getText(int id) const {
    const Control* control = find(id);
    if (control == nullptr) {
        fail();
        return {};
    }
    return QtControlKind::of(control->kind).text(control->widget);
}

bool QtView::enableControl(int id, bool enable) {
    Control* control = find(id);
    if (control == nullptr) {
        return fail();
    }
    control->widget->setEnabled(enable);
    return true;
}

bool QtView::showControl(int id, bool show) {
    Control* control = find(id);
    if (control == nullptr) {
        return fail();
    }
    control->widget->setHidden(!show);
    return true;
}

Rect QtView::getControlRect(int id) const {
    const Control* control = find(id);
    if (control == nullptr) {
        fail();
        return {};
    }
    return toRect(control->widget->geometry());
}

bool QtView::moveControl(int id, const Rect& rect) {
    Control* control = find(id);
    if (control == nullptr) {
        return fail();
    }
    control->widget->setGeometry(toQRect(rect));
    return true;
}

bool QtView::setFocus(int id) {
    Control* control = find(id);
    if (control == nullptr) {
        return fail();
    }
    if (control->widget->isHidden() || !control->widget->isEnabled() ||
        !common::ControlKindTraits::of(control->kind).takesFocus) {
        return false;
    }
    control->widget->setFocus(Qt::OtherFocusReason);
    return true;
}

FontStyle QtView::getFont(int id) const {
    const Control* control = find(id);
    if (control == nullptr) {
        fail();
        return {};
    }
    return toFontStyle(control->widget->font());
}

bool QtView::setFont(int id, const FontStyle& style) {
    Control* control = find(id);
    if (control == nullptr) {
        return fail();
    }
    control->widget->setFont(withFontStyle(control->widget->font(), style));
    return true;
}

bool QtView::setTextColour(int id, std::uint32_t colour) {
    Control* control = find(id);
    if (control == nullptr) {
        return fail();
    }
    control->widget->setPalette(withTextColour(control->widget->palette(), colour));
    return true;
}

bool QtView::setCheck(int id, bool checked) {
    Control* control = find(id);
    if (control == nullptr) {
        return fail();
    }
    QtControlKind::of(control->kind).setCheck(control->widget, checked);
    return true;
}

bool QtView::isChecked(int id) const {
    const Control* control = find(id);
    if (control == nullptr) {
        return fail();
    }
    return QtControlKind::of(control->kind).isChecked(control->widget);
}

unsigned QtView::listExtendedStyle(int id) const {
    const Control* control = find(id);
    return control == nullptr ? 0 : control->extendedStyle;
}

bool QtView::setListColumns(int id, const std::vector<ListColumn>& columns,
                            unsigned extendedStyle) {
    auto* list = widgetOf<QTreeWidget>(id, ControlKind::ListView);
    if (list != nullptr) {
        QtListKind::setColumns(*list, columns, extendedStyle);
        find(id)->extendedStyle = extendedStyle;
    }
    return list != nullptr;
}

bool QtView::insertListRow(int id, int index, const std::vector<std::string>& texts) {
    auto* list = widgetOf<QTreeWidget>(id, ControlKind::ListView);
    if (list != nullptr) {
        QtListKind::insertRow(*list, index, texts);
    }
    return list != nullptr;
}

bool QtView::deleteListRow(int id, int index) {
    auto* list = widgetOf<QTreeWidget>(id, ControlKind::ListView);
    return list != nullptr && QtListKind::deleteRow(*list, index, owner_.errors_);
}

bool QtView::deleteAllListRows(int id) {
    auto* list = widgetOf<QTreeWidget>(id, ControlKind::ListView);
    if (list != nullptr) {
        QtListKind::clear(*list);
    }
    return list != nullptr;
}

bool QtView::setListSelection(int id, const std::vector<int>& rows) {
    auto* list = widgetOf<QTreeWidget>(id, ControlKind::ListView);
    if (list != nullptr) {
        QtListKind::select(*list, rows);
    }
    return list != nullptr;
}

bool QtView::resetCombo(int id) {
    auto* combo = widgetOf<QComboBox>(id, ControlKind::DropDownList);
    if (combo != nullptr) {
        combo->clear();
    }
    return combo != nullptr;
}

int QtView::addComboItem(int id, const std::string& text) {
    auto* combo = widgetOf<QComboBox>(id, ControlKind::DropDownList);
    return combo == nullptr ? -1
                            : QtComboKind::add(*combo, text, (find(id)->style & cs::Sorted) != 0);
}

bool QtView::setComboSelection(int id, int index) {
    auto* combo = widgetOf<QComboBox>(id, ControlKind::DropDownList);
    return combo != nullptr && QtComboKind::select(*combo, index, owner_.errors_);
}

int QtView::getComboSelection(int id) const {
    const auto* combo = widgetOf<const QComboBox>(id, ControlKind::DropDownList);
    return combo == nullptr ? -1 : combo->currentIndex();
}

std::string QtView::getComboItemText(int id, int index) const {
    const auto* combo = widgetOf<const QComboBox>(id, ControlKind::DropDownList);
    return combo == nullptr ? std::string() : QtComboKind::entry(*combo, index);
}

void QtView::enableToolTips(bool enable) {
    toolTips_ = enable;
    for (auto& [id, control] : controls_) {
        control.widget->setToolTip(enable ? toQt(control.tip) : QString());
    }
}

void QtView::endDialog(int result) {
    if (!result_) {
        result_ = result;
    }
    if (!owner_.endLoopOf(this) && kind_ != Kind::Page) {
        // A modeless dialog that ends goes out of sight; its presenter still owns it.
        showFrame(sw::Hide);
    }
}

int QtView::messageBox(const std::string& text, const std::string& caption, unsigned style) {
    return QtDialogs::show(root_ ? root_->window() : nullptr, text, caption, style);
}

void QtView::modifyStyle(unsigned remove, unsigned add) {
    frame_.modifyStyle(remove, add);
    if (kind_ != Kind::Page) {
        applyFrame();
    }
}

void QtView::setIcon(IconHandle icon) {
    icon_ = icon;
    if (kind_ != Kind::Page) {
        root_->setWindowIcon(owner_.resources().icon(icon));
    }
}

bool QtView::insertSystemMenuItem(int position, int command, const std::string& text) {
    return frame_.insertMenuItem(position, command, text, owner_.errors_);
}

bool QtView::showFrame(int command) {
    QWidget* frame = frameWidget();
    const bool wasVisible = frame->isVisible();
    pendingShow_ = false;
    if (command == sw::Hide) {
        frame->hide();
        return wasVisible;
    }
    if ((frame->windowState() & Qt::WindowMinimized) != 0) {
        // Brought back from the status area: the user wants to see it, not its taskbar entry.
        wasMinimized_ = false;
        frame->setWindowState(frame->windowState() & ~Qt::WindowMinimized);
        // The hidden window's platform side still thinks it is minimised and would say so
        // again once shown.
        if (QWindow* platformWindow = frame->windowHandle()) {
            platformWindow->setWindowStates(platformWindow->windowStates() & ~Qt::WindowMinimized);
        }
    }
    frame->show();
    return wasVisible;
}

void QtView::closeBoxPressed() {
    if (hasEnded()) {
        return;
    }
    DialogEvent command;
    command.notification = Notification::SystemCommand;
    command.value = sc::Close;
    if (deliver(command) != 0) {
        return;
    }
    // What the toolkit does with the close box: the dialog's Cancel.
    DialogEvent cancel;
    cancel.notification = Notification::Clicked;
    cancel.controlId = id::Cancel;
    deliver(cancel);
}

void QtView::escapePressed() {
    if (kind_ == Kind::Sheet) {
        // Escape on the settings window hides it like its close box: only "Shutdown" ends
        // the program.
        closeBoxPressed();
        return;
    }
    if (hasEnded()) {
        return;
    }
    DialogEvent cancel;
    cancel.notification = Notification::Clicked;
    cancel.controlId = id::Cancel;
    deliver(cancel);
}

void QtView::minimized() {
    const bool now = (frameWidget()->windowState() & Qt::WindowMinimized) != 0;
    if (now == wasMinimized_) {
        return;
    }
    wasMinimized_ = now;
    if (now && initialised_ && !hasEnded()) {
        DialogEvent event;
        event.notification = Notification::Minimized;
        deliver(event);
    }
}

void QtView::resized() {
    if (!initialised_ || (root_->width() == lastWidth_ && root_->height() == lastHeight_)) {
        return;
    }
    lastWidth_ = root_->width();
    lastHeight_ = root_->height();
    DialogEvent event;
    event.notification = Notification::Size;
    event.value = lastWidth_;
    event.value2 = lastHeight_;
    deliver(event);
}

}  // namespace os::qt
