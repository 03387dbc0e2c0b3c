#include "os/qt/QtViewFrames.h"

#include "os/qt/QtView.h"

#include <QCloseEvent>

namespace os::qt {

void QtDialogWindow::reject() {
    view_.escapePressed();
}

void QtDialogWindow::closeEvent(QCloseEvent* event) {
    event->ignore();
    view_.closeBoxPressed();
}

void QtDialogWindow::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) {
        view_.minimized();
    }
}

void QtDialogWindow::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    view_.resized();
}

void QtPageWidget::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    view_.resized();
}

}  // namespace os::qt
