#include "os/qt/QtDialogs.h"

#include "os/qt/QtDialogViews.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QThread>
#include <QTimer>
#include <cstdio>

namespace os::qt {

namespace {

QMessageBox::Icon iconOf(unsigned style) {
    switch (style & mb::IconMask) {
        case mb::IconError:
            return QMessageBox::Critical;
        case mb::IconQuestion:
            return QMessageBox::Question;
        case mb::IconWarning:
            return QMessageBox::Warning;
        case mb::IconInformation:
            return QMessageBox::Information;
        default:
            return QMessageBox::NoIcon;
    }
}

bool isQuestion(unsigned style) {
    return (style & mb::ButtonsMask) == mb::YesNo;
}

// Builds the box; the caller shows it.
QMessageBox* makeBox(QWidget* owner, const std::string& text, const std::string& caption,
                     unsigned style) {
    auto* box = new QMessageBox(owner);
    box->setWindowTitle(QString::fromStdString(caption));
    // Messages carry file and workspace names: never read them as markup.
    box->setTextFormat(Qt::PlainText);
    box->setText(QString::fromStdString(text));
    box->setIcon(iconOf(style));
    if (isQuestion(style)) {
        box->setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box->setDefaultButton(QMessageBox::Yes);
        // Escape gives the answer that changes nothing.
        box->setEscapeButton(QMessageBox::No);
    } else {
        box->setStandardButtons(QMessageBox::Ok);
        box->setEscapeButton(QMessageBox::Ok);
    }
    if ((style & mb::SetForeground) != 0) {
        // The program may be hidden in the status area: its boxes still come to the front.
        QTimer::singleShot(0, box, [box] {
            box->raise();
            box->activateWindow();
        });
    }
    return box;
}

int answerOf(QMessageBox::StandardButton button, int unchanged) {
    switch (button) {
        case QMessageBox::Yes:
            return id::Yes;
        case QMessageBox::No:
            return id::No;
        case QMessageBox::Ok:
            return id::Ok;
        default:
            return unchanged;
    }
}

}  // namespace

int QtDialogs::messageBox(WindowHandle owner, const std::string& text, const std::string& caption,
                          unsigned style) {
    QWidget* widget = nullptr;
    if (owner != 0 && views_ != nullptr) {
        if (const QtView* view = views_->viewOf(owner); view != nullptr) {
            widget = view->widget()->window();
        }
    }
    return show(widget, text, caption, style);
}

int QtDialogs::show(QWidget* owner, const std::string& text, const std::string& caption,
                    unsigned style) {
    const int unchanged = isQuestion(style) ? id::No : id::Ok;
    QCoreApplication* application = QCoreApplication::instance();
    if (qobject_cast<QApplication*>(application) == nullptr) {
        // No window can show it: the message still reaches the user's terminal.
        std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
        return unchanged;
    }
    if (QThread::currentThread() != application->thread()) {
        // Waiting here could wait forever for a user-interface thread that waits for us.
        QMetaObject::invokeMethod(
            application,
            [text, caption, style] {
                QMessageBox* box = makeBox(nullptr, text, caption, style);
                box->setAttribute(Qt::WA_DeleteOnClose);
                box->open();
            },
            Qt::QueuedConnection);
        return unchanged;
    }
    QMessageBox* box = makeBox(owner, text, caption, style);
    QPointer<QMessageBox> guard(box);
    box->exec();
    if (!guard) {
        return unchanged;
    }
    // A box closed without a button (its close box, Escape) gives the answer that changes
    // nothing.
    QAbstractButton* clicked = box->clickedButton();
    const int answer =
        clicked == nullptr ? unchanged : answerOf(box->standardButton(clicked), unchanged);
    delete box;
    return answer;
}

}  // namespace os::qt
