#pragma once

#include "windows/reporter/ErrorReporter.h"

#include <functional>

namespace products::pastrix::config {

// Runs the body inside the program's last line of handlers: whatever escapes it is shown
// in one error box. Returns true when the body ran to its end.
bool runWithTopLevelHandlers(windows::reporter::ErrorReporter& reporter,
                             const std::function<void()>& body);

}  // namespace products::pastrix::config
