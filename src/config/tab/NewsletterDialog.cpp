#include "config/tab/NewsletterDialog.h"

#include "config/tab/DialogTemplates.h"
#include "os/Dialogs.h"

namespace products::pastrix::config::tab {

namespace ids = templates::newsletter;
using ::util::newsletter::SimpleSignUp;

NewsletterDialog::NewsletterDialog(int bitmapId, windows::reporter::ErrorReporter& errorReporter)
    : Dialog(ids::dialogTemplate()), bitmap(bitmapId), reporter(errorReporter) {}

int NewsletterDialog::DoModal() {
    return doModal(0);
}

void NewsletterDialog::doDataExchange(windows::mfc::DataExchange& exchange) {
    exchange.text(ids::EmailAddress, emailAddress);
}

bool NewsletterDialog::onInitDialog() {
    // The toolkit renders the picture from the resource the control names.
    view().setText(ids::Picture, bitmap == ids::Bitmap ? ids::BitmapResource : "");
    return Dialog::onInitDialog();
}

void NewsletterDialog::onOK() {
    if (!updateData(true)) {
        return;
    }
    if (!SimpleSignUp::isValidEmailAddress(emailAddress)) {
        reporter.showError(SimpleSignUp::invalidAddressMessage(emailAddress));
        return;
    }
    endDialog(os::id::Ok);
}

}  // namespace products::pastrix::config::tab
