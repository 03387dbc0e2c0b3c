#pragma once

#include "windows/reporter/ErrorReporter.h"
#include "windows/reporter/InformationReporter.h"
#include "windows/reporter/SuccessReporter.h"

#include <string>
#include <vector>

namespace testing_support {

// Keeps every message instead of showing it.
class RecordingReporter final : public windows::reporter::ErrorReporter,
                                public windows::reporter::SuccessReporter,
                                public windows::reporter::InformationReporter {
public:
    void showError(const std::string& message) override { messages.push_back(message); }
    void showSuccess(const std::string& message) override { successes.push_back(message); }
    void showInformation(const std::string& message) override { informations.push_back(message); }

    std::vector<std::string> messages;
    std::vector<std::string> successes;
    std::vector<std::string> informations;
};

}  // namespace testing_support
