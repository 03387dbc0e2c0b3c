#pragma once

#include "util/newsletter/SimpleSignUp.h"
#include "windows/mfc/Dialog.h"
#include "windows/reporter/ErrorReporter.h"

#include <string>

namespace products::pastrix::config::tab {

// Asks for the e-mail address the newsletter goes to. "Signup" accepts only an address that
// passes the sign-up's check; "Skip" closes without one.
class NewsletterDialog : public windows::mfc::Dialog,
                         public ::util::newsletter::EmailAddressDialog {
public:
    NewsletterDialog(int bitmapId, windows::reporter::ErrorReporter& errorReporter);

    int DoModal() override;
    std::string getEmailAddress() const override { return emailAddress; }

    int getBitmapId() const { return bitmap; }

protected:
    void doDataExchange(windows::mfc::DataExchange& exchange) override;
    bool onInitDialog() override;
    void onOK() override;

private:
    int bitmap;
    windows::reporter::ErrorReporter& reporter;
    std::string emailAddress;
};

}  // namespace products::pastrix::config::tab
