#include "windows/reporter/ErrorReporterAssertionListener.h"

namespace windows::reporter {

ErrorReporterAssertionListener::ErrorReporterAssertionListener(ErrorReporter& errorReporter)
    : reporter(errorReporter) {}

void ErrorReporterAssertionListener::assertionFailed(const std::string& report) {
    reporter.showError(report);
}

}  // namespace windows::reporter
