#include "config/tab/AboutTab.h"

#include "config/tab/DialogTemplates.h"
#include "exceptions/Exception.h"
#include "os/Dialogs.h"
#include "windows/file/WindowsFileHelper.h"
#include "windows/internet/CouldNotLaunchInternetBrowserException.h"
#include "windows/internet/InternetHelper.h"
#include "windows/process/ProcessExceptions.h"
#include "windows/process/ProcessHelper.h"

#include <utility>

namespace products::pastrix::config::tab {

namespace {

namespace ids = templates::about;

// The links' blue, 0x00BBGGRR.
constexpr std::uint32_t LinkColour = 0x00CC0000;
constexpr int Bold = 700;

}  // namespace

void openManual(windows::reporter::ErrorReporter& errorReporter) {
    try {
        const std::string address =
            "file://" + windows::file::WindowsFileHelper::getCurrentDirectory() + "manual.html";
        windows::process::shellExecute(address, "open");
    } catch (const windows::process::CouldNotShellExecuteException& e) {
        errorReporter.showError("Couldn't launch your browser with the help file.\n" +
                                e.getMessage() +
                                "\nPlease try to open the file (manual.html) manually from "
                                "explorer.");
    } catch (const exceptions::Exception& e) {
        errorReporter.showError("An exception was caught when trying to view the help file.\n" +
                                e.getMessage() +
                                "\n\nHowever you can browse these files manually from explorer.");
    }
}

AboutTab::AboutTab(windows::reporter::ErrorReporter& reporter, std::string product,
                   configfile::SupportSettings& settings)
    : PropertyPage(ids::dialogTemplate()),
      errorReporter(reporter),
      productName(std::move(product)),
      supportSettings(settings) {
    onClicked(ids::Homepage, [this] { visitHomepage(); });
    onClicked(ids::Question, [this] { askQuestion(); });
}

bool AboutTab::onInitDialog() {
    PropertyPage::onInitDialog();
    view().enableToolTips(true);
    linkFont = view().getFont(ids::Title);
    linkFont.underline = true;
    titleFont = view().getFont(ids::Title);
    titleFont.underline = false;
    titleFont.weight = Bold;
    view().setFont(ids::Title, titleFont);
    view().setFont(ids::Homepage, linkFont);
    view().setFont(ids::Question, linkFont);
    view().setTextColour(ids::Homepage, LinkColour);
    view().setTextColour(ids::Question, LinkColour);
    view().setText(ids::Title,
                   productName + " version " + supportSettings.getVersion() + " by Velbrook.");
    return true;
}

void AboutTab::visitHomepage() {
    try {
        windows::internet::launchInternetBrowser(supportSettings.getHomepage());
    } catch (const windows::internet::CouldNotLaunchInternetBrowserException& e) {
        errorReporter.showError("Couldn't navigate to the homepage.\n" + e.getMessage());
    }
}

void AboutTab::askQuestion() {
    const int answer = view().messageBox(
        "Before you ask us, please look in the manual and FAQ. They cover the most of the "
        "questions.\nThat is also the fastest way to get your questions answers.\n\nWould you "
        "like to have a look in the manual ?",
        "Would you like to have a look in the manual ?", os::mb::IconQuestion | os::mb::YesNo);
    if (answer == os::id::Yes) {
        openManual(errorReporter);
        return;
    }
    try {
        windows::process::shellExecute(
            "mailto:" + supportSettings.getSupport() + "?subject=" + productName, "open");
    } catch (const windows::process::CouldNotShellExecuteException& e) {
        errorReporter.showError("Couldn't launch your mail program.\n" + e.getMessage());
    }
}

}  // namespace products::pastrix::config::tab
