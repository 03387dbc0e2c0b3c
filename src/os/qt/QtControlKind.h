#pragma once

#include "os/DialogTemplate.h"
#include "os/common/DialogUnits.h"
#include "os/qt/QtResources.h"

#include <QRect>
#include <string>

class QWidget;

namespace os::qt {

class QtView;

// How one kind of control is a Qt widget: how it is made from its template, what of the
// user's doings it reports to the presenter, how its text and check are read and written.
// Each kind is one subclass; `of` gives the one for a kind. What a kind means to every
// toolkit (focus, clicks) is in common::ControlKindTraits.
class QtControlKind {
public:
    // What making a control needs of its dialog.
    struct Context {
        QtResources& resources;
        const common::DialogUnits& units;
        // Default buttons of a page are not its window's: the sheet has its own.
        bool onPage = false;
        // The dialog's right edge, in pixels.
        int dialogRight = 0;
    };

    static const QtControlKind& of(ControlKind kind);

    QtControlKind() = default;
    virtual ~QtControlKind() = default;
    QtControlKind(const QtControlKind&) = delete;
    QtControlKind& operator=(const QtControlKind&) = delete;

    virtual QWidget* make(const ControlTemplate& item, const Context& context,
                          QWidget* parent) const = 0;
    // Where the widget goes, given the template's rectangle in pixels: by default there.
    virtual QRect fit(QWidget* widget, const ControlTemplate& item, const QRect& rect,
                      const Context& context) const;
    // Reports what the user does with the control to the view's presenter.
    virtual void connect(QtView& view, int id, const ControlTemplate& item, QWidget* widget) const;
    virtual void setText(QWidget* widget, const std::string& text, QtResources& resources) const;
    virtual std::string text(const QWidget* widget) const;
    // Only buttons carry a check: the others ignore it and read as unchecked.
    virtual void setCheck(QWidget* widget, bool checked) const;
    virtual bool isChecked(const QWidget* widget) const;
    // Frames lie behind the controls they hold.
    virtual bool liesBehind() const { return false; }
};

}  // namespace os::qt
