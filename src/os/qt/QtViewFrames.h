#pragma once

#include <QDialog>
#include <QWidget>

namespace os::qt {

class QtView;

// The two widgets a view's controls live in. Both report their frame's events to the view,
// which asks the presenter.

// The window of a dialog or sheet. Nothing closes it but the end of its loop.
class QtDialogWindow final : public QDialog {
public:
    QtDialogWindow(QtView& view, QWidget* parent) : QDialog(parent), view_(view) {}

    void reject() override;
    void accept() override {}

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QtView& view_;
};

// A page, or a modeless dialog inside another window.
class QtPageWidget final : public QWidget {
public:
    QtPageWidget(QtView& view, QWidget* parent) : QWidget(parent), view_(view) {}

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QtView& view_;
};

}  // namespace os::qt
