#pragma once

#include "windows/reporter/ErrorReporter.h"
#include "windows/reporter/InformationReporter.h"
#include "windows/reporter/SuccessReporter.h"

#include <string>

namespace windows::reporter {

// Shows each message in a modal message box without an owner window, captioned with the
// product name and the kind of message.
class MessageBoxReporter final : public ErrorReporter,
                                 public SuccessReporter,
                                 public InformationReporter {
public:
    explicit MessageBoxReporter(std::string title = "Pastrix");

    void showError(const std::string& message) override;
    void showSuccess(const std::string& message) override;
    void showInformation(const std::string& message) override;

private:
    void show(const std::string& message, const std::string& suffix, unsigned icon);

    std::string title;
};

}  // namespace windows::reporter
