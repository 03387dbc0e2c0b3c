#include "os/qt/QtDialogViews.h"

#include "os/Dialogs.h"
#include "os/ErrorCodes.h"
#include "os/qt/QtDialogs.h"
#include "os/qt/QtKeys.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QEventLoop>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTabWidget>
#include <QThread>
#include <QTreeWidget>
#include <QWindow>
#include <algorithm>
#include <cctype>
#include <functional>
#include <utility>

namespace os::qt {

namespace {

const char* const ViewClassName = "PastrixQtDialog";

// The dialogs' windows, to find the view a message is for: window procedures have no
// context of their own.
common::ViewRoutes routes;

std::intptr_t viewProcedure(WindowHandle window, unsigned int message, std::uintptr_t wParam,
                            std::intptr_t lParam) {
    return routes.route(window, message, wParam, lParam);
}

QString toQt(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string fromQt(const QString& text) {
    return text.toStdString();
}

// Multi-line edit boxes give their line breaks as CR LF, as the program stores them.
QString toEditLines(const std::string& text) {
    QString lines = toQt(text);
    lines.replace("\r\n", "\n");
    return lines;
}

std::string fromEditLines(const QString& text) {
    QString lines = text;
    lines.replace("\n", "\r\n");
    return fromQt(lines);
}

std::string lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

bool takesFocus(ControlKind kind) {
    return kind != ControlKind::Label && kind != ControlKind::GroupBox &&
           kind != ControlKind::Picture;
}

// Calls a function for events of one object, and lets the object have them too unless the
// function says it took them.
class EventRelay final : public QObject {
public:
    using Handler = std::function<bool(QEvent*)>;
    EventRelay(QObject* target, Handler handler) : QObject(target), handler_(std::move(handler)) {
        target->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* /*watched*/, QEvent* event) override { return handler_(event); }

private:
    Handler handler_;
};

// The grid lines of a report list.
class GridDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyledItemDelegate::paint(painter, option, index);
        painter->save();
        painter->setPen(option.palette.color(QPalette::Mid));
        painter->drawLine(option.rect.topRight(), option.rect.bottomRight());
        painter->drawLine(option.rect.bottomLeft(), option.rect.bottomRight());
        painter->restore();
    }
};

// The window of a dialog or sheet: its frame's events go to the view, which asks the
// presenter. Nothing closes it but the end of its loop.
class DialogWindow final : public QDialog {
public:
    DialogWindow(QtView& view, QWidget* parent) : QDialog(parent), view_(view) {}

    void reject() override { view_.escapePressed(); }
    void accept() override {}

protected:
    void closeEvent(QCloseEvent* event) override {
        event->ignore();
        view_.closeBoxPressed();
    }
    void changeEvent(QEvent* event) override {
        QDialog::changeEvent(event);
        if (event->type() == QEvent::WindowStateChange) {
            view_.minimized();
        }
    }
    void resizeEvent(QResizeEvent* event) override {
        QDialog::resizeEvent(event);
        view_.resized();
    }

private:
    QtView& view_;
};

// A page, or a modeless dialog inside another window.
class PageWidget final : public QWidget {
public:
    PageWidget(QtView& view, QWidget* parent) : QWidget(parent), view_(view) {}

protected:
    void resizeEvent(QResizeEvent* event) override {
        QWidget::resizeEvent(event);
        view_.resized();
    }

private:
    QtView& view_;
};

QRect toQRect(const Rect& rect) {
    return QRect(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
}

Rect toRect(const QRect& rect) {
    return Rect{rect.left(), rect.top(), rect.left() + rect.width(), rect.top() + rect.height()};
}

// The dialog font: templates name the system's dialog font, which is the desktop's own.
QFont dialogFont() {
    return QApplication::font();
}

}  // namespace

// ---------------------------------------------------------------------------------------
// QtView

QtView::QtView(QtDialogViews& owner, const DialogTemplate& dialogTemplate, DialogEvents& events,
               WindowHandle window, Kind kind, QWidget* parentWidget)
    : owner_(owner),
      template_(dialogTemplate),
      events_(events),
      window_(window),
      kind_(kind),
      units_(DialogUnits::of(dialogFont())) {
    if (kind_ == Kind::Page || (parentWidget != nullptr && kind_ == Kind::Dialog &&
                                (dialogTemplate.style & ds::Caption) == 0)) {
        root_ = new PageWidget(*this, parentWidget);
    } else {
        root_ = new DialogWindow(*this, parentWidget);
    }
    root_->setFont(dialogFont());
    if ((dialogTemplate.style & ds::SystemMenu) != 0) {
        frame_.modifyStyle(0, ws::SysMenu);
    }
    build();
    routes.add(window_, *this);
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
    routes.remove(window_);
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
            connectControl(item.id, item, widget);
        }
    }
    // Group boxes are frames behind the controls they hold.
    for (QWidget* widget : ordered_) {
        if (qobject_cast<QGroupBox*>(widget) != nullptr) {
            widget->lower();
        }
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
    QWidget* widget = nullptr;
    const QString text = toQt(item.text);
    switch (item.kind) {
        case ControlKind::PushButton:
        case ControlKind::DefaultPushButton: {
            auto* button = new QPushButton(text, parent);
            if (item.kind == ControlKind::DefaultPushButton && kind_ != Kind::Page) {
                button->setDefault(true);
            }
            widget = button;
            break;
        }
        case ControlKind::CheckBox:
            widget = new QCheckBox(text, parent);
            break;
        case ControlKind::GroupBox: {
            auto* box = new QGroupBox(text, parent);
            box->setAttribute(Qt::WA_TransparentForMouseEvents);
            box->setFocusPolicy(Qt::NoFocus);
            widget = box;
            break;
        }
        case ControlKind::Label: {
            auto* label = new QLabel(parent);
            // Texts are never markup, whatever they hold.
            label->setTextFormat(Qt::PlainText);
            label->setText(text);
            label->setWordWrap(true);
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            if ((item.style & cs::Notify) != 0) {
                label->setCursor(Qt::PointingHandCursor);
            }
            widget = label;
            break;
        }
        case ControlKind::Picture: {
            auto* label = new QLabel(parent);
            label->setPixmap(owner_.resources().picture(text));
            label->setAlignment(Qt::AlignCenter);
            widget = label;
            break;
        }
        case ControlKind::Edit:
            if ((item.style & cs::MultiLine) != 0) {
                auto* edit = new QPlainTextEdit(parent);
                edit->setPlainText(toEditLines(item.text));
                edit->setTabChangesFocus(true);
                edit->setLineWrapMode((item.style & cs::AutoHScroll) != 0
                                          ? QPlainTextEdit::NoWrap
                                          : QPlainTextEdit::WidgetWidth);
                edit->setVerticalScrollBarPolicy((item.style & cs::VScroll) != 0
                                                     ? Qt::ScrollBarAsNeeded
                                                     : Qt::ScrollBarAlwaysOff);
                edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
                if ((item.style & cs::Border) == 0) {
                    edit->setFrameShape(QFrame::NoFrame);
                }
                widget = edit;
            } else {
                auto* edit = new QLineEdit(text, parent);
                edit->setFrame((item.style & cs::Border) != 0);
                widget = edit;
            }
            break;
        case ControlKind::ListView: {
            auto* list = new QTreeWidget(parent);
            list->setRootIsDecorated(false);
            list->setItemsExpandable(false);
            list->setUniformRowHeights(true);
            list->setSelectionMode(QAbstractItemView::ExtendedSelection);
            list->setSelectionBehavior(QAbstractItemView::SelectRows);
            list->setEditTriggers(QAbstractItemView::NoEditTriggers);
            // The order of the rows is the program's: the list never sorts by itself.
            list->setSortingEnabled(false);
            list->header()->setSectionsClickable(true);
            list->header()->setSectionsMovable(false);
            list->header()->setStretchLastSection(false);
            list->header()->setMinimumSectionSize(0);
            list->setColumnCount(1);
            list->setHeaderLabels({QString()});
            if ((item.style & cs::Border) == 0) {
                list->setFrameShape(QFrame::NoFrame);
            }
            widget = list;
            break;
        }
        case ControlKind::DropDownList: {
            auto* combo = new QComboBox(parent);
            combo->setEditable(false);
            widget = combo;
            break;
        }
    }
    if (widget == nullptr) {
        return nullptr;
    }
    if (!takesFocus(item.kind)) {
        widget->setFocusPolicy(Qt::NoFocus);
    }
    QRect rect = toQRect(units_.toPixels(item.x, item.y, item.width, item.height));
    if (kind_ == Kind::Sheet) {
        // Sheet buttons keep their distance from the right edge; placed in layoutSheet.
        rect = QRect();
    }
    if (item.kind == ControlKind::DropDownList && rect.isValid()) {
        // The template's height is the height of the opened list.
        auto* combo = static_cast<QComboBox*>(widget);
        const int field = combo->sizeHint().height();
        const int rowHeight = std::max(1, combo->fontMetrics().height() + 2);
        combo->setMaxVisibleItems(std::max(1, (rect.height() - field) / rowHeight));
        rect.setHeight(field);
    }
    const bool oneLine = item.height <= 10;
    if (rect.isValid() && oneLine &&
        (item.kind == ControlKind::CheckBox || item.kind == ControlKind::Label)) {
        // The desktop's font may be wider than the one the template was drawn with: a
        // one-line text grows to the right rather than being cut, up to the dialog's edge.
        if (auto* label = qobject_cast<QLabel*>(widget)) {
            label->setWordWrap(false);
        }
        const int edge = units_.x(template_.width) - rect.left();
        rect.setWidth(std::max(rect.width(), std::min(widget->sizeHint().width(), edge)));
    }
    if (rect.isValid()) {
        widget->setGeometry(rect);
    }
    return widget;
}

void QtView::connectControl(int id, const ControlTemplate& item, QWidget* widget) {
    const auto clicked = [this, id] {
        DialogEvent event;
        event.notification = Notification::Clicked;
        event.controlId = id;
        deliver(event);
    };
    switch (item.kind) {
        case ControlKind::PushButton:
        case ControlKind::DefaultPushButton:
            QObject::connect(static_cast<QPushButton*>(widget), &QPushButton::clicked, clicked);
            break;
        case ControlKind::CheckBox:
            // After the box toggled.
            QObject::connect(static_cast<QCheckBox*>(widget), &QCheckBox::clicked, clicked);
            break;
        case ControlKind::Label:
            if ((item.style & cs::Notify) != 0) {
                new EventRelay(widget, [widget, clicked](QEvent* event) {
                    if (event->type() == QEvent::MouseButtonRelease) {
                        const auto* mouse = static_cast<QMouseEvent*>(event);
                        if (mouse->button() == Qt::LeftButton &&
                            widget->rect().contains(mouse->position().toPoint())) {
                            clicked();
                            return true;
                        }
                    }
                    return false;
                });
            }
            break;
        case ControlKind::Edit: {
            const auto changed = [this, id] {
                if (settingText_) {
                    return;
                }
                DialogEvent event;
                event.notification = Notification::EditChanged;
                event.controlId = id;
                deliver(event);
            };
            const bool multiLine = (item.style & cs::MultiLine) != 0;
            if (multiLine) {
                QObject::connect(static_cast<QPlainTextEdit*>(widget), &QPlainTextEdit::textChanged,
                                 changed);
            } else {
                QObject::connect(static_cast<QLineEdit*>(widget), &QLineEdit::textEdited, changed);
            }
            const bool wantReturn = (item.style & cs::WantReturn) != 0;
            new EventRelay(widget, [this, id, widget, multiLine, wantReturn](QEvent* event) {
                if (event->type() == QEvent::KeyRelease) {
                    const auto* key = static_cast<QKeyEvent*>(event);
                    const int virtualKey = virtualKeyOf(*key);
                    if (!key->isAutoRepeat() && virtualKey != 0) {
                        DialogEvent up;
                        up.notification = Notification::KeyUp;
                        up.controlId = id;
                        up.value = virtualKey;
                        deliver(up);
                    }
                    return false;
                }
                if (event->type() == QEvent::KeyPress && multiLine) {
                    const auto* key = static_cast<QKeyEvent*>(event);
                    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
                        // Ctrl+Enter always makes a line break, and so does Enter in a box that
                        // wants it (with Shift too: a plain line break, not Qt's own line
                        // separator); otherwise Enter presses the default button.
                        if (wantReturn || (key->modifiers() & Qt::ControlModifier) != 0) {
                            static_cast<QPlainTextEdit*>(widget)->insertPlainText("\n");
                        } else {
                            pressDefaultButton();
                        }
                        return true;
                    }
                }
                return false;
            });
            break;
        }
        case ControlKind::ListView: {
            auto* list = static_cast<QTreeWidget*>(widget);
            QObject::connect(list, &QTreeWidget::itemSelectionChanged,
                             [this, id] { reportSelection(id); });
            QObject::connect(list->header(), &QHeaderView::sectionClicked, [this, id](int column) {
                DialogEvent event;
                event.notification = Notification::ColumnClicked;
                event.controlId = id;
                event.value = column;
                deliver(event);
            });
            new EventRelay(list, [this, id](QEvent* event) {
                if (event->type() == QEvent::KeyPress) {
                    const int virtualKey = virtualKeyOf(*static_cast<QKeyEvent*>(event));
                    if (virtualKey != 0) {
                        DialogEvent down;
                        down.notification = Notification::KeyDown;
                        down.controlId = id;
                        down.value = virtualKey;
                        deliver(down);
                    }
                }
                return false;
            });
            new EventRelay(list->viewport(), [this, id, list](QEvent* event) {
                if (event->type() != QEvent::MouseButtonDblClick) {
                    return false;
                }
                const auto* mouse = static_cast<QMouseEvent*>(event);
                if (mouse->button() != Qt::LeftButton) {
                    return false;
                }
                QTreeWidgetItem* under = list->itemAt(mouse->position().toPoint());
                const int row = under == nullptr ? -1 : list->indexOfTopLevelItem(under);
                if (row < 0 && !list->selectedItems().isEmpty()) {
                    // A double click below the rows leaves nothing selected.
                    list->clearSelection();
                }
                DialogEvent doubleClick;
                doubleClick.notification = Notification::DoubleClicked;
                doubleClick.controlId = id;
                doubleClick.value = row;
                deliver(doubleClick);
                return true;
            });
            break;
        }
        case ControlKind::DropDownList:
            QObject::connect(static_cast<QComboBox*>(widget), &QComboBox::activated,
                             [this, id](int index) {
                                 DialogEvent event;
                                 event.notification = Notification::SelectionChanged;
                                 event.controlId = id;
                                 event.value = index;
                                 deliver(event);
                             });
            break;
        case ControlKind::GroupBox:
        case ControlKind::Picture:
            break;
    }
}

void QtView::reportSelection(int id) {
    const Control* control = find(id);
    if (control == nullptr) {
        return;
    }
    auto* list = static_cast<QTreeWidget*>(control->widget);
    DialogEvent event;
    event.notification = Notification::SelectionChanged;
    event.controlId = id;
    for (int row = 0; row < list->topLevelItemCount(); ++row) {
        if (list->topLevelItem(row)->isSelected()) {
            event.items.push_back(row);
        }
    }
    deliver(event);
}

void QtView::pressDefaultButton() {
    // The default button of the window the box is in, as Enter in a line edit presses it.
    const auto buttons = root_->window()->findChildren<QPushButton*>();
    for (QPushButton* button : buttons) {
        if (button->isDefault() && button->isVisible() && button->isEnabled()) {
            button->click();
            return;
        }
    }
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
    QWidget* widget = control->widget;
    settingText_ = true;
    if (control->kind == ControlKind::Picture) {
        // A picture's text names the picture it shows, never text to show.
        static_cast<QLabel*>(widget)->setPixmap(owner_.resources().picture(toQt(text)));
    } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        button->setText(toQt(text));
    } else if (auto* label = qobject_cast<QLabel*>(widget)) {
        label->setText(toQt(text));
    } else if (auto* line = qobject_cast<QLineEdit*>(widget)) {
        line->setText(toQt(text));
    } else if (auto* edit = qobject_cast<QPlainTextEdit*>(widget)) {
        edit->setPlainText(toEditLines(text));
        edit->moveCursor(QTextCursor::End);
    } else if (auto* box = qobject_cast<QGroupBox*>(widget)) {
        box->setTitle(toQt(text));
    }
    settingText_ = false;
    return true;
}

std::string QtView::getText(int id) const {
    const Control* control = find(id);
    if (control == nullptr) {
        fail();
        return {};
    }
    QWidget* widget = control->widget;
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        return fromQt(button->text());
    }
    if (auto* label = qobject_cast<QLabel*>(widget)) {
        return fromQt(label->text());
    }
    if (auto* line = qobject_cast<QLineEdit*>(widget)) {
        return fromQt(line->text());
    }
    if (auto* edit = qobject_cast<QPlainTextEdit*>(widget)) {
        return fromEditLines(edit->toPlainText());
    }
    if (auto* box = qobject_cast<QGroupBox*>(widget)) {
        return fromQt(box->title());
    }
    if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        return combo->currentIndex() < 0 ? std::string() : fromQt(combo->currentText());
    }
    return {};
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
        !takesFocus(control->kind)) {
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
    const QFont font = control->widget->font();
    const QFontInfo info(font);
    FontStyle style;
    style.face = fromQt(info.family());
    style.height = -info.pixelSize();
    style.weight = font.weight();
    style.underline = font.underline();
    return style;
}

bool QtView::setFont(int id, const FontStyle& style) {
    Control* control = find(id);
    if (control == nullptr) {
        return fail();
    }
    QFont font = control->widget->font();
    if (!style.face.empty()) {
        font.setFamily(toQt(style.face));
    }
    if (style.height != 0) {
        font.setPixelSize(std::abs(style.height));
    }
    font.setWeight(static_cast<QFont::Weight>(std::clamp(style.weight, 100, 900)));
    font.setUnderline(style.underline);
    control->widget->setFont(font);
    return true;
}

bool QtView::setTextColour(int id, std::uint32_t colour) {
    Control* control = find(id);
    if (control == nullptr) {
        return fail();
    }
    const QColor qtColour(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                          static_cast<int>((colour >> 16) & 0xFF));
    QPalette palette = control->widget->palette();
    for (const QPalette::ColorRole role :
         {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
        palette.setColor(role, qtColour);
    }
    control->widget->setPalette(palette);
    return true;
}

bool QtView::setCheck(int id, bool checked) {
    Control* control = find(id);
    if (control == nullptr) {
        return fail();
    }
    if (auto* button = qobject_cast<QAbstractButton*>(control->widget)) {
        button->setCheckable(true);
        button->setChecked(checked);
    }
    return true;
}

bool QtView::isChecked(int id) const {
    const Control* control = find(id);
    if (control == nullptr) {
        return fail();
    }
    const auto* button = qobject_cast<const QAbstractButton*>(control->widget);
    return button != nullptr && button->isChecked();
}

unsigned QtView::listExtendedStyle(int id) const {
    const Control* control = find(id);
    return control == nullptr ? 0 : control->extendedStyle;
}

bool QtView::setListColumns(int id, const std::vector<ListColumn>& columns,
                            unsigned extendedStyle) {
    Control* control = find(id);
    if (control == nullptr || control->kind != ControlKind::ListView) {
        return fail();
    }
    auto* list = static_cast<QTreeWidget*>(control->widget);
    QStringList headers;
    for (const ListColumn& column : columns) {
        headers << toQt(column.text);
    }
    list->setColumnCount(std::max<int>(1, static_cast<int>(columns.size())));
    list->setHeaderLabels(headers);
    for (std::size_t column = 0; column < columns.size(); ++column) {
        list->header()->resizeSection(static_cast<int>(column), std::max(0, columns[column].width));
    }
    control->extendedStyle = extendedStyle;
    if ((extendedStyle & lvs::GridLines) != 0) {
        list->setItemDelegate(new GridDelegate(list));
    }
    list->setAllColumnsShowFocus((extendedStyle & lvs::FullRowSelect) != 0);
    return true;
}

bool QtView::insertListRow(int id, int index, const std::vector<std::string>& texts) {
    Control* control = find(id);
    if (control == nullptr || control->kind != ControlKind::ListView) {
        return fail();
    }
    auto* list = static_cast<QTreeWidget*>(control->widget);
    const int count = list->topLevelItemCount();
    if (index < 0 || index > count) {
        index = count;
    }
    QStringList cells;
    for (int column = 0; column < list->columnCount(); ++column) {
        cells << (static_cast<std::size_t>(column) < texts.size()
                      ? toQt(texts[static_cast<std::size_t>(column)])
                      : QString());
    }
    const QSignalBlocker quiet(list);
    list->insertTopLevelItem(index, new QTreeWidgetItem(cells));
    return true;
}

bool QtView::deleteListRow(int id, int index) {
    Control* control = find(id);
    if (control == nullptr || control->kind != ControlKind::ListView) {
        return fail();
    }
    auto* list = static_cast<QTreeWidget*>(control->widget);
    if (index < 0 || index >= list->topLevelItemCount()) {
        owner_.errors_.setLastError(error::InvalidParameter);
        return false;
    }
    const QSignalBlocker quiet(list);
    delete list->takeTopLevelItem(index);
    return true;
}

bool QtView::deleteAllListRows(int id) {
    Control* control = find(id);
    if (control == nullptr || control->kind != ControlKind::ListView) {
        return fail();
    }
    auto* list = static_cast<QTreeWidget*>(control->widget);
    const QSignalBlocker quiet(list);
    list->clear();
    return true;
}

bool QtView::setListSelection(int id, const std::vector<int>& rows) {
    Control* control = find(id);
    if (control == nullptr || control->kind != ControlKind::ListView) {
        return fail();
    }
    auto* list = static_cast<QTreeWidget*>(control->widget);
    const QSignalBlocker quiet(list);
    list->clearSelection();
    for (const int row : rows) {
        if (QTreeWidgetItem* item = list->topLevelItem(row)) {
            item->setSelected(true);
        }
    }
    return true;
}

bool QtView::resetCombo(int id) {
    Control* control = find(id);
    if (control == nullptr || control->kind != ControlKind::DropDownList) {
        return fail();
    }
    static_cast<QComboBox*>(control->widget)->clear();
    return true;
}

int QtView::addComboItem(int id, const std::string& text) {
    Control* control = find(id);
    if (control == nullptr || control->kind != ControlKind::DropDownList) {
        fail();
        return -1;
    }
    auto* combo = static_cast<QComboBox*>(control->widget);
    int index = combo->count();
    if ((control->style & cs::Sorted) != 0) {
        const std::string key = lower(text);
        for (int item = 0; item < combo->count(); ++item) {
            if (lower(fromQt(combo->itemText(item))) > key) {
                index = item;
                break;
            }
        }
    }
    const int selected = combo->currentIndex();
    const QSignalBlocker quiet(combo);
    combo->insertItem(index, toQt(text));
    // A list without a selection keeps none, as the system's does.
    combo->setCurrentIndex(selected < 0 ? -1 : (selected >= index ? selected + 1 : selected));
    return index;
}

bool QtView::setComboSelection(int id, int index) {
    Control* control = find(id);
    if (control == nullptr || control->kind != ControlKind::DropDownList) {
        return fail();
    }
    auto* combo = static_cast<QComboBox*>(control->widget);
    const QSignalBlocker quiet(combo);
    if (index < -1 || index >= combo->count()) {
        combo->setCurrentIndex(-1);
        owner_.errors_.setLastError(error::InvalidParameter);
        return false;
    }
    combo->setCurrentIndex(index);
    return true;
}

int QtView::getComboSelection(int id) const {
    const Control* control = find(id);
    if (control == nullptr || control->kind != ControlKind::DropDownList) {
        fail();
        return -1;
    }
    return static_cast<QComboBox*>(control->widget)->currentIndex();
}

std::string QtView::getComboItemText(int id, int index) const {
    const Control* control = find(id);
    if (control == nullptr || control->kind != ControlKind::DropDownList) {
        fail();
        return {};
    }
    auto* combo = static_cast<QComboBox*>(control->widget);
    if (index < 0 || index >= combo->count()) {
        return {};
    }
    return fromQt(combo->itemText(index));
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

// ---------------------------------------------------------------------------------------
// QtDialogViews

QtDialogViews::QtDialogViews(Windows& windows, Errors& errors, QtResources& resources,
                             QueueWakeup* wakeup, std::chrono::milliseconds pollInterval)
    : windows_(windows),
      errors_(errors),
      resources_(resources),
      wakeup_(wakeup),
      pollInterval_(pollInterval) {}

QtDialogViews::~QtDialogViews() = default;

QtMessagePump& QtDialogViews::pump() {
    if (!pump_) {
        pump_ = std::make_unique<QtMessagePump>(
            windows_, wakeup_, [this](const Message& message) { return preTranslate(message); },
            [this](std::exception_ptr failure) { fail(std::move(failure)); }, pollInterval_);
    }
    return *pump_;
}

bool QtDialogViews::preTranslate(const Message& message) {
    // Every running sheet sees the thread's messages before they are dispatched, the
    // newest first.
    for (auto sheet = sheets_.rbegin(); sheet != sheets_.rend(); ++sheet) {
        const DialogEvent event = common::ViewRoutes::eventOf(
            message.message, message.wParam, message.lParam, Notification::PreTranslate);
        if ((*sheet)->deliver(event) != 0) {
            return true;
        }
    }
    return false;
}

std::unique_ptr<QtView> QtDialogViews::make(const DialogTemplate& dialogTemplate,
                                            DialogEvents& events, WindowHandle parent,
                                            QtView::Kind kind, QWidget* parentWidget) {
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) {
        // Widgets need the application object of the user-interface thread.
        errors_.setLastError(error::NotSupported);
        return nullptr;
    }
    WindowClass windowClass;
    windowClass.procedure = &viewProcedure;
    windowClass.className = ViewClassName;
    if (!windows_.registerClass(windowClass) && errors_.lastError() != error::ClassAlreadyExists) {
        return nullptr;
    }
    const DialogUnits units = DialogUnits::of(dialogFont());
    const Rect size = units.toPixels(0, 0, dialogTemplate.width, dialogTemplate.height);
    WindowCreation creation;
    creation.className = ViewClassName;
    creation.title = dialogTemplate.caption;
    // A dialog is drawn by its Qt window alone: a pop-up would give it a second, empty
    // window of the desktop's own on top of the Qt one whenever it is shown.
    creation.style = kind == QtView::Kind::Page ? ws::Child : 0U;
    creation.width = size.right;
    creation.height = size.bottom;
    creation.parent = parent;
    const WindowHandle window = windows_.createWindow(creation);
    if (window == 0) {
        return nullptr;
    }
    pump();
    auto view = std::make_unique<QtView>(*this, dialogTemplate, events, window, kind, parentWidget);
    open_.push_back(view.get());
    return view;
}

void QtDialogViews::initialise(QtView& view) {
    view.events_.attachView(&view);
    DialogEvent init;
    init.notification = Notification::InitDialog;
    const std::intptr_t focus = view.deliver(init);
    view.initialised_ = true;
    view.lastWidth_ = view.root_->width();
    view.lastHeight_ = view.root_->height();
    if (focus != 0 && view.root_->focusWidget() == nullptr) {
        for (const ControlTemplate& control : view.template_.controls) {
            if (control.id != NoControlId && view.find(control.id) != nullptr &&
                view.setFocus(control.id)) {
                break;
            }
        }
    }
}

void QtDialogViews::forget(QtView* view, WindowHandle window) {
    open_.erase(std::remove(open_.begin(), open_.end(), view), open_.end());
    windows_.destroyWindow(window);
}

QtView* QtDialogViews::find(int templateId) const {
    for (auto view = open_.rbegin(); view != open_.rend(); ++view) {
        if ((*view)->templateId() == templateId) {
            return *view;
        }
    }
    return nullptr;
}

QtView* QtDialogViews::viewOf(WindowHandle window) const {
    // Views live on the user-interface thread; other threads (the tooltip's) only ever ask
    // about windows of their own.
    const QCoreApplication* application = QCoreApplication::instance();
    if (application == nullptr || QThread::currentThread() != application->thread()) {
        return nullptr;
    }
    for (QtView* view : open_) {
        if (view->getHandle() == window) {
            return view;
        }
    }
    return nullptr;
}

std::exception_ptr QtDialogViews::takeFailure() {
    return std::exchange(orphanFailure_, nullptr);
}

void QtDialogViews::fail(std::exception_ptr failure) {
    if (frames_.empty()) {
        if (!orphanFailure_) {
            orphanFailure_ = std::move(failure);
        }
        return;
    }
    ModalFrame* frame = frames_.back();
    if (!frame->failure) {
        frame->failure = std::move(failure);
    }
    frame->loop->exit(0);
}

bool QtDialogViews::endLoopOf(const QtView* view) {
    for (ModalFrame* frame : frames_) {
        if (frame->view == view) {
            frame->loop->exit(0);
            return true;
        }
    }
    return false;
}

std::unique_ptr<DialogView> QtDialogViews::createView(const DialogTemplate& dialogTemplate,
                                                      DialogEvents& events, WindowHandle parent) {
    QtView* parentView = viewOf(parent);
    QWidget* parentWidget = parentView != nullptr ? parentView->widget() : nullptr;
    const bool page = (dialogTemplate.style & ds::Page) != 0;
    std::unique_ptr<QtView> view =
        make(dialogTemplate, events, parent, page ? QtView::Kind::Page : QtView::Kind::Dialog,
             parentWidget);
    if (!view) {
        return nullptr;
    }
    initialise(*view);
    if (parentWidget == nullptr || parentWidget->isVisible()) {
        view->showFrame(sw::Show);
    }
    return view;
}

int QtDialogViews::runModal(const DialogTemplate& dialogTemplate, DialogEvents& events,
                            WindowHandle parent) {
    QtView* parentView = viewOf(parent);
    QWidget* parentWidget = parentView != nullptr ? parentView->widget()->window() : nullptr;
    std::unique_ptr<QtView> view =
        make(dialogTemplate, events, parent, QtView::Kind::Dialog, parentWidget);
    if (!view) {
        return -1;
    }
    view->widget()->setWindowModality(Qt::ApplicationModal);
    QEventLoop loop;
    ModalFrame frame{view.get(), &loop, nullptr};
    frames_.push_back(&frame);
    initialise(*view);
    return runLoop(std::move(view), frame);
}

int QtDialogViews::runSheet(const DialogTemplate& sheetTemplate, DialogEvents& events,
                            const std::vector<SheetPage>& pages, unsigned flags,
                            WindowHandle parent) {
    QtView* parentView = viewOf(parent);
    QWidget* parentWidget = parentView != nullptr ? parentView->widget()->window() : nullptr;
    std::unique_ptr<QtView> sheet =
        make(sheetTemplate, events, parent, QtView::Kind::Sheet, parentWidget);
    if (!sheet) {
        return -1;
    }
    sheet->sheetFlags_ = flags;
    QEventLoop loop;
    ModalFrame frame{sheet.get(), &loop, nullptr};
    frames_.push_back(&frame);
    sheets_.push_back(sheet.get());
    for (const SheetPage& page : pages) {
        if (page.dialogTemplate == nullptr || page.events == nullptr) {
            continue;
        }
        std::unique_ptr<QtView> made = make(*page.dialogTemplate, *page.events, sheet->getHandle(),
                                            QtView::Kind::Page, nullptr);
        if (!made) {
            frames_.pop_back();
            sheets_.pop_back();
            return -1;
        }
        QtView& madePage = *made;
        sheet->addPage(std::move(made));
        initialise(madePage);
    }
    sheet->layoutSheet();
    if (!sheet->pages_.empty()) {
        sheet->tabs_->setCurrentIndex(0);
        sheet->tabChanged(0);
    }
    initialise(*sheet);
    return runLoop(std::move(sheet), frame);
}

int QtDialogViews::runLoop(std::unique_ptr<QtView> view, ModalFrame& frame) {
    const auto running = [&] { return !view->hasEnded() && !frame.failure; };
    view->pendingShow_ = true;
    if (view->kind() == QtView::Kind::Sheet && running()) {
        // What the sheet posted to itself while it was made comes first, so that a sheet
        // that hides itself at once never shows.
        pump().drain();
    }
    if (running() && view->pendingShow_) {
        view->showFrame(sw::Show);
    }
    while (running()) {
        frame.loop->exec();
    }
    frames_.erase(std::remove(frames_.begin(), frames_.end(), &frame), frames_.end());
    sheets_.erase(std::remove(sheets_.begin(), sheets_.end(), view.get()), sheets_.end());
    const int result = view->result();
    view.reset();
    if (frame.failure) {
        std::rethrow_exception(frame.failure);
    }
    return result;
}

}  // namespace os::qt
