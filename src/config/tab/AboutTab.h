#pragma once

#include "config/configfile/SupportSettings.h"
#include "os/DialogView.h"
#include "windows/mfc/Dialog.h"
#include "windows/reporter/ErrorReporter.h"

#include <string>

namespace products::pastrix::config::tab {

// Shows the manual in the browser. Failures are shown with the reporter.
void openManual(windows::reporter::ErrorReporter& errorReporter);

// The About page: the product's title and version, a link to the homepage and one that
// offers the manual before a mail to support.
class AboutTab : public windows::mfc::PropertyPage {
public:
    AboutTab(windows::reporter::ErrorReporter& reporter, std::string productName,
             configfile::SupportSettings& supportSettings);

    void visitHomepage();
    void askQuestion();

protected:
    bool onInitDialog() override;

private:
    windows::reporter::ErrorReporter& errorReporter;
    std::string productName;
    configfile::SupportSettings& supportSettings;
    os::FontStyle linkFont;
    os::FontStyle titleFont;
};

}  // namespace products::pastrix::config::tab
