// Every dialog and page of the program as the Qt view lays it out from its template.

#include "QtDesktopTest.h"
#include "config/configfile/SupportSettings.h"
#include "config/tab/AboutTab.h"
#include "config/tab/DialogTemplates.h"
#include "support/RecordingReporter.h"
#include "support/SettingsFile.h"
#include "windows/mfc/Dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <algorithm>

#include <gtest/gtest.h>

namespace {

using qt_testing::QtDesktopTest;
namespace templates = products::pastrix::config::tab::templates;

struct Rendered {
    const char* name;
    const os::DialogTemplate& (*dialogTemplate)();
};

class RenderingTest : public QtDesktopTest, public ::testing::WithParamInterface<Rendered> {};

bool hasKind(QWidget* widget, os::ControlKind kind) {
    switch (kind) {
        case os::ControlKind::PushButton:
        case os::ControlKind::DefaultPushButton:
            return qobject_cast<QPushButton*>(widget) != nullptr;
        case os::ControlKind::CheckBox:
            return qobject_cast<QCheckBox*>(widget) != nullptr;
        case os::ControlKind::GroupBox:
            return qobject_cast<QGroupBox*>(widget) != nullptr;
        case os::ControlKind::Label:
        case os::ControlKind::Picture:
            return qobject_cast<QLabel*>(widget) != nullptr;
        case os::ControlKind::Edit:
            return qobject_cast<QLineEdit*>(widget) != nullptr ||
                   qobject_cast<QPlainTextEdit*>(widget) != nullptr;
        case os::ControlKind::ListView:
            return qobject_cast<QTreeWidget*>(widget) != nullptr;
        case os::ControlKind::DropDownList:
            return qobject_cast<QComboBox*>(widget) != nullptr;
    }
    return false;
}

std::string shownText(QWidget* widget) {
    if (auto* label = qobject_cast<QLabel*>(widget)) {
        return label->text().toStdString();
    }
    if (auto* box = qobject_cast<QGroupBox*>(widget)) {
        return box->title().toStdString();
    }
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        return button->text().toStdString();
    }
    return {};
}

TEST_P(RenderingTest, LaysOutEveryControlFromDialogUnitsWithItsTip) {
    const os::DialogTemplate& dialogTemplate = GetParam().dialogTemplate();
    windows::mfc::Dialog presenter(dialogTemplate);
    ASSERT_TRUE(presenter.create(0));
    os::qt::QtView* view = views.find(dialogTemplate.id);
    ASSERT_NE(view, nullptr);
    const os::common::DialogUnits& units = view->units();

    const os::Rect client = units.toPixels(0, 0, dialogTemplate.width, dialogTemplate.height);
    EXPECT_EQ(view->widget()->width(), client.right);
    EXPECT_EQ(view->widget()->height(), client.bottom);

    ASSERT_EQ(view->widgets().size(), dialogTemplate.controls.size());
    view->enableToolTips(true);
    for (std::size_t index = 0; index < dialogTemplate.controls.size(); ++index) {
        const os::ControlTemplate& item = dialogTemplate.controls[index];
        QWidget* widget = view->widgets()[index];
        SCOPED_TRACE(item.text + " " + std::to_string(item.id));
        EXPECT_TRUE(hasKind(widget, item.kind));
        const os::Rect rect = units.toPixels(item.x, item.y, item.width, item.height);
        EXPECT_EQ(widget->x(), rect.left);
        EXPECT_EQ(widget->y(), rect.top);
        const bool grows = item.height <= 10 && (item.kind == os::ControlKind::Label ||
                                                 item.kind == os::ControlKind::CheckBox);
        if (grows) {
            // One-line texts are never cut while the dialog has room for them.
            EXPECT_GE(widget->width(), rect.right - rect.left);
            EXPECT_GE(widget->width(),
                      std::min(widget->sizeHint().width(), client.right - rect.left));
            EXPECT_LE(widget->x() + widget->width(), client.right);
        } else {
            EXPECT_EQ(widget->width(), rect.right - rect.left);
        }
        if (item.kind != os::ControlKind::DropDownList) {
            // A drop-down list's template height is the height of its opened list.
            EXPECT_EQ(widget->height(), rect.bottom - rect.top);
        }
        if (item.kind != os::ControlKind::Edit && item.kind != os::ControlKind::ListView &&
            item.kind != os::ControlKind::DropDownList && item.kind != os::ControlKind::Picture) {
            EXPECT_EQ(shownText(widget), item.text);
        }
        if (item.id != os::NoControlId) {
            EXPECT_EQ(widget->toolTip().toStdString(), item.tip);
            EXPECT_EQ(widget->isHidden(), (item.style & os::cs::Hidden) != 0);
        }
    }
    view->enableToolTips(false);
    for (QWidget* widget : view->widgets()) {
        EXPECT_TRUE(widget->toolTip().isEmpty());
    }

    const std::string file = screenshot(view->widget(), GetParam().name);
    ASSERT_FALSE(file.empty());
    EXPECT_GT(QFileInfo(QString::fromStdString(file)).size(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Templates, RenderingTest,
    ::testing::Values(Rendered{"page-pastrix", &templates::pxtab::dialogTemplate},
                      Rendered{"page-coolkeys", &templates::cctab::dialogTemplate},
                      Rendered{"page-about-template", &templates::about::dialogTemplate},
                      Rendered{"dialog-slot-viewer", &templates::viewclipboards::dialogTemplate},
                      Rendered{"dialog-abbreviation", &templates::abbreviation::dialogTemplate}),
    [](const ::testing::TestParamInfo<Rendered>& param) {
        std::string name = param.param.name;
        std::replace(name.begin(), name.end(), '-', '_');
        return name;
    });

class AboutPageTest : public QtDesktopTest {};

TEST_F(AboutPageTest, ShowsABoldTitleAndBlueUnderlinedLinks) {
    testing_support::RecordingReporter reporter;
    testing_support::SettingsFile file;
    products::pastrix::config::configfile::SupportSettings support(*file.config, reporter);
    products::pastrix::config::tab::AboutTab page(reporter, "Pastrix", support);
    ASSERT_TRUE(page.create(0));
    os::qt::QtView* view = views.find(templates::about::Dialog);
    ASSERT_NE(view, nullptr);

    auto* title = widget<QLabel>(*view, templates::about::Title);
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->text().toStdString(), "Pastrix version 1.2 by Velbrook.");
    EXPECT_EQ(title->font().weight(), QFont::Bold);
    EXPECT_FALSE(title->font().underline());
    for (const int link : {templates::about::Homepage, templates::about::Question}) {
        auto* label = widget<QLabel>(*view, link);
        ASSERT_NE(label, nullptr);
        EXPECT_TRUE(label->font().underline());
        EXPECT_NE(label->font().weight(), QFont::Bold);
        EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(0, 0, 204));
        EXPECT_EQ(label->cursor().shape(), Qt::PointingHandCursor);
    }
    // The description keeps the desktop's colour.
    EXPECT_NE(
        widget<QLabel>(*view, templates::about::Description)->palette().color(QPalette::WindowText),
        QColor(0, 0, 204));
    EXPECT_FALSE(screenshot(view->widget(), "page-about").empty());

    // The question link asks before it offers the mail program.
    answerNextBox(QMessageBox::No);
    click(widget<QLabel>(*view, templates::about::Question));
    ASSERT_EQ(seenBoxes.size(), 1U);
    EXPECT_EQ(seenBoxes[0].caption, "Would you like to have a look in the manual ?");
    EXPECT_EQ(seenBoxes[0].icon, QMessageBox::Question);
    ASSERT_EQ(desktop.shell.launches().size(), 1U);
    EXPECT_EQ(desktop.shell.launches()[0].file, "mailto:support@pastrix.org?subject=Pastrix");
}

TEST_F(AboutPageTest, TextsAreNeverReadAsMarkup) {
    windows::mfc::Dialog presenter(templates::about::dialogTemplate());
    ASSERT_TRUE(presenter.create(0));
    os::qt::QtView* view = views.find(templates::about::Dialog);
    ASSERT_NE(view, nullptr);
    ASSERT_TRUE(view->setText(templates::about::Description, "<b>bold</b> & <i>it</i>"));
    auto* label = widget<QLabel>(*view, templates::about::Description);
    EXPECT_EQ(label->textFormat(), Qt::PlainText);
    EXPECT_EQ(view->getText(templates::about::Description), "<b>bold</b> & <i>it</i>");
}

class PictureTest : public QtDesktopTest {};

// A picture control names its picture by file or by number; either way the picture shows,
// never the name, and a name the program has no picture for shows nothing.
TEST_F(PictureTest, ThePictureANameOrNumberStandsForIsDrawnInsteadOfTheName) {
    namespace newsletter = templates::newsletter;
    windows::mfc::Dialog presenter(newsletter::dialogTemplate());
    ASSERT_TRUE(presenter.create(0));
    os::qt::QtView* view = views.find(newsletter::Dialog);
    ASSERT_NE(view, nullptr);
    auto* picture = widget<QLabel>(*view, newsletter::Picture);
    ASSERT_NE(picture, nullptr);
    const struct {
        std::string text;
        bool drawn;
    } cases[] = {{"", false},
                 {newsletter::BitmapResource, true},
                 {"missing.png", false},
                 {std::to_string(newsletter::Bitmap), true}};
    EXPECT_FALSE(picture->pixmap().isNull());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        ASSERT_TRUE(view->setText(newsletter::Picture, c.text));
        EXPECT_TRUE(picture->text().isEmpty());
        EXPECT_EQ(picture->pixmap().isNull(), !c.drawn);
    }
}

}  // namespace
