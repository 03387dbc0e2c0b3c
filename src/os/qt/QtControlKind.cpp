#include "os/qt/QtControlKind.h"

#include "os/common/ControlKindTraits.h"
#include "os/qt/QtComboKind.h"
#include "os/qt/QtConvert.h"
#include "os/qt/QtEventRelay.h"
#include "os/qt/QtKeys.h"
#include "os/qt/QtListKind.h"
#include "os/qt/QtView.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <algorithm>

namespace os::qt {

namespace {

void reportClicks(QtView& view, int id, QAbstractButton* button) {
    QObject::connect(button, &QAbstractButton::clicked, [&view, id] {
        view.deliver(common::controlEvent(Notification::Clicked, id));
    });
}

// The desktop's font may be wider than the one the template was drawn with: a one-line text
// grows to the right rather than being cut, up to the dialog's edge.
QRect growOneLine(QWidget* widget, const ControlTemplate& item, QRect rect,
                  const QtControlKind::Context& context) {
    if (item.height > 10) {
        return rect;
    }
    if (auto* label = qobject_cast<QLabel*>(widget)) {
        label->setWordWrap(false);
    }
    const int edge = context.dialogRight - rect.left();
    rect.setWidth(std::max(rect.width(), std::min(widget->sizeHint().width(), edge)));
    return rect;
}

// The default button of the window the box is in, as Enter in a line edit presses it.
void pressDefaultButton(QWidget& box) {
    const auto buttons = box.window()->findChildren<QPushButton*>();
    for (QPushButton* button : buttons) {
        if (button->isDefault() && button->isVisible() && button->isEnabled()) {
            button->click();
            return;
        }
    }
}

class ButtonKind : public QtControlKind {
public:
    QWidget* make(const ControlTemplate& item, const Context& context,
                  QWidget* parent) const override {
        auto* button = new QPushButton(toQt(item.text), parent);
        if (item.kind == ControlKind::DefaultPushButton && !context.onPage) {
            button->setDefault(true);
        }
        return button;
    }
    void connect(QtView& view, int id, const ControlTemplate& /*item*/,
                 QWidget* widget) const override {
        reportClicks(view, id, static_cast<QAbstractButton*>(widget));
    }
    void setText(QWidget* widget, const std::string& text,
                 QtResources& /*resources*/) const override {
        static_cast<QAbstractButton*>(widget)->setText(toQt(text));
    }
    std::string text(const QWidget* widget) const override {
        return fromQt(static_cast<const QAbstractButton*>(widget)->text());
    }
    void setCheck(QWidget* widget, bool checked) const override {
        auto* button = static_cast<QAbstractButton*>(widget);
        button->setCheckable(true);
        button->setChecked(checked);
    }
    bool isChecked(const QWidget* widget) const override {
        return static_cast<const QAbstractButton*>(widget)->isChecked();
    }
};

// A button that keeps its check, and reports its clicks after the box toggled.
class CheckBoxKind final : public ButtonKind {
public:
    QWidget* make(const ControlTemplate& item, const Context& /*context*/,
                  QWidget* parent) const override {
        return new QCheckBox(toQt(item.text), parent);
    }
    QRect fit(QWidget* widget, const ControlTemplate& item, const QRect& rect,
              const Context& context) const override {
        return growOneLine(widget, item, rect, context);
    }
};

class GroupBoxKind final : public QtControlKind {
public:
    QWidget* make(const ControlTemplate& item, const Context& /*context*/,
                  QWidget* parent) const override {
        auto* box = new QGroupBox(toQt(item.text), parent);
        box->setAttribute(Qt::WA_TransparentForMouseEvents);
        box->setFocusPolicy(Qt::NoFocus);
        return box;
    }
    void setText(QWidget* widget, const std::string& text,
                 QtResources& /*resources*/) const override {
        static_cast<QGroupBox*>(widget)->setTitle(toQt(text));
    }
    std::string text(const QWidget* widget) const override {
        return fromQt(static_cast<const QGroupBox*>(widget)->title());
    }
    bool liesBehind() const override { return true; }
};

// Static text; with cs::Notify a link that reports clicks.
class LabelKind final : public QtControlKind {
public:
    QWidget* make(const ControlTemplate& item, const Context& /*context*/,
                  QWidget* parent) const override {
        auto* label = new QLabel(parent);
        // Texts are never markup, whatever they hold.
        label->setTextFormat(Qt::PlainText);
        label->setText(toQt(item.text));
        label->setWordWrap(true);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        if ((item.style & cs::Notify) != 0) {
            label->setCursor(Qt::PointingHandCursor);
        }
        return label;
    }
    QRect fit(QWidget* widget, const ControlTemplate& item, const QRect& rect,
              const Context& context) const override {
        return growOneLine(widget, item, rect, context);
    }
    void connect(QtView& view, int id, const ControlTemplate& item,
                 QWidget* widget) const override {
        if (!common::ControlKindTraits::of(item.kind).reportsClicks(item.style)) {
            return;
        }
        new QtEventRelay(widget, [&view, id, widget](QEvent* event) {
            if (event->type() == QEvent::MouseButtonRelease) {
                const auto* mouse = static_cast<QMouseEvent*>(event);
                if (mouse->button() == Qt::LeftButton &&
                    widget->rect().contains(mouse->position().toPoint())) {
                    view.deliver(common::controlEvent(Notification::Clicked, id));
                    return true;
                }
            }
            return false;
        });
    }
    void setText(QWidget* widget, const std::string& text,
                 QtResources& /*resources*/) const override {
        static_cast<QLabel*>(widget)->setText(toQt(text));
    }
    std::string text(const QWidget* widget) const override {
        return fromQt(static_cast<const QLabel*>(widget)->text());
    }
};

// A picture's text names the picture it shows, never text to show.
class PictureKind final : public QtControlKind {
public:
    QWidget* make(const ControlTemplate& item, const Context& context,
                  QWidget* parent) const override {
        auto* label = new QLabel(parent);
        label->setPixmap(context.resources.picture(toQt(item.text)));
        label->setAlignment(Qt::AlignCenter);
        return label;
    }
    void setText(QWidget* widget, const std::string& text, QtResources& resources) const override {
        static_cast<QLabel*>(widget)->setPixmap(resources.picture(toQt(text)));
    }
    std::string text(const QWidget* widget) const override {
        return fromQt(static_cast<const QLabel*>(widget)->text());
    }
};

// A line edit, or with cs::MultiLine a plain-text box.
class EditKind final : public QtControlKind {
public:
    QWidget* make(const ControlTemplate& item, const Context& /*context*/,
                  QWidget* parent) const override {
        if ((item.style & cs::MultiLine) == 0) {
            auto* edit = new QLineEdit(toQt(item.text), parent);
            edit->setFrame((item.style & cs::Border) != 0);
            return edit;
        }
        auto* edit = new QPlainTextEdit(parent);
        edit->setPlainText(toEditLines(item.text));
        edit->setTabChangesFocus(true);
        edit->setLineWrapMode((item.style & cs::AutoHScroll) != 0 ? QPlainTextEdit::NoWrap
                                                                  : QPlainTextEdit::WidgetWidth);
        edit->setVerticalScrollBarPolicy((item.style & cs::VScroll) != 0 ? Qt::ScrollBarAsNeeded
                                                                         : Qt::ScrollBarAlwaysOff);
        edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        if ((item.style & cs::Border) == 0) {
            edit->setFrameShape(QFrame::NoFrame);
        }
        return edit;
    }

    void connect(QtView& view, int id, const ControlTemplate& item,
                 QWidget* widget) const override {
        // The presenter's own texts are not echoed back.
        const auto changed = [&view, id] {
            if (!view.settingText()) {
                view.deliver(common::controlEvent(Notification::EditChanged, id));
            }
        };
        const bool multiLine = (item.style & cs::MultiLine) != 0;
        if (multiLine) {
            QObject::connect(static_cast<QPlainTextEdit*>(widget), &QPlainTextEdit::textChanged,
                             changed);
        } else {
            QObject::connect(static_cast<QLineEdit*>(widget), &QLineEdit::textEdited, changed);
        }
        const bool wantReturn = (item.style & cs::WantReturn) != 0;
        new QtEventRelay(widget, [&view, id, widget, multiLine, wantReturn](QEvent* event) {
            if (event->type() == QEvent::KeyRelease) {
                const auto* key = static_cast<QKeyEvent*>(event);
                const int virtualKey = virtualKeyOf(*key);
                if (!key->isAutoRepeat() && virtualKey != 0) {
                    view.deliver(common::controlEvent(Notification::KeyUp, id, virtualKey));
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
                        pressDefaultButton(*widget);
                    }
                    return true;
                }
            }
            return false;
        });
    }

    void setText(QWidget* widget, const std::string& text,
                 QtResources& /*resources*/) const override {
        if (auto* line = qobject_cast<QLineEdit*>(widget)) {
            line->setText(toQt(text));
        } else if (auto* edit = qobject_cast<QPlainTextEdit*>(widget)) {
            edit->setPlainText(toEditLines(text));
            edit->moveCursor(QTextCursor::End);
        }
    }
    std::string text(const QWidget* widget) const override {
        if (const auto* line = qobject_cast<const QLineEdit*>(widget)) {
            return fromQt(line->text());
        }
        if (const auto* edit = qobject_cast<const QPlainTextEdit*>(widget)) {
            return fromEditLines(edit->toPlainText());
        }
        return {};
    }
};

}  // namespace

const QtControlKind& QtControlKind::of(ControlKind kind) {
    static const ButtonKind button;
    static const CheckBoxKind checkBox;
    static const GroupBoxKind groupBox;
    static const LabelKind label;
    static const PictureKind picture;
    static const EditKind edit;
    static const QtListKind list;
    static const QtComboKind combo;
    switch (kind) {
        case ControlKind::PushButton:
        case ControlKind::DefaultPushButton:
            return button;
        case ControlKind::CheckBox:
            return checkBox;
        case ControlKind::GroupBox:
            return groupBox;
        case ControlKind::Label:
            return label;
        case ControlKind::Picture:
            return picture;
        case ControlKind::Edit:
            return edit;
        case ControlKind::ListView:
            return list;
        case ControlKind::DropDownList:
            return combo;
    }
    return label;
}

QRect QtControlKind::fit(QWidget* /*widget*/, const ControlTemplate& /*item*/, const QRect& rect,
                         const Context& /*context*/) const {
    return rect;
}

void QtControlKind::connect(QtView& /*view*/, int /*id*/, const ControlTemplate& /*item*/,
                            QWidget* /*widget*/) const {}

void QtControlKind::setText(QWidget* /*widget*/, const std::string& /*text*/,
                            QtResources& /*resources*/) const {}

std::string QtControlKind::text(const QWidget* /*widget*/) const {
    return {};
}

void QtControlKind::setCheck(QWidget* /*widget*/, bool /*checked*/) const {}

bool QtControlKind::isChecked(const QWidget* /*widget*/) const {
    return false;
}

}  // namespace os::qt
