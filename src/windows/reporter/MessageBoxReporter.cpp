#include "windows/reporter/MessageBoxReporter.h"

#include "os/Port.h"

#include <utility>

namespace windows::reporter {

MessageBoxReporter::MessageBoxReporter(std::string productTitle) : title(std::move(productTitle)) {}

void MessageBoxReporter::showError(const std::string& message) {
    show(message, " Error", os::mb::IconError);
}

void MessageBoxReporter::showSuccess(const std::string& message) {
    show(message, " Success", os::mb::IconInformation);
}

void MessageBoxReporter::showInformation(const std::string& message) {
    show(message, " Information", os::mb::IconInformation);
}

void MessageBoxReporter::show(const std::string& message, const std::string& suffix,
                              unsigned icon) {
    os::dialogs().messageBox(0, message, title + suffix, os::mb::Ok | icon | os::mb::SetForeground);
}

}  // namespace windows::reporter
