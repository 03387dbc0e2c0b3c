#pragma once

#include "platform/assertion/AssertionListener.h"
#include "windows/reporter/ErrorReporter.h"

namespace windows::reporter {

// Shows every assertion report in an error box while the program runs.
class ErrorReporterAssertionListener final : public platform::AssertionListener {
public:
    explicit ErrorReporterAssertionListener(ErrorReporter& reporter);
    void assertionFailed(const std::string& report) override;

private:
    ErrorReporter& reporter;
};

}  // namespace windows::reporter
