#pragma once

#include "os/Types.h"

#include <cstdint>
#include <string>

namespace os {

// Show commands for a launched program's window.
inline constexpr int SwShowNormal = 1;

// Results of shellExecute at or below this value are failures, as the system reports them.
inline constexpr std::intptr_t ShellExecuteFailureLimit = 32;
inline constexpr std::intptr_t SeErrFileNotFound = 2;
inline constexpr std::intptr_t SeErrAccessDenied = 5;
inline constexpr std::intptr_t SeErrNoAssociation = 31;

// Results of navigate: 0 is success, anything else a failure code.
inline constexpr long SOk = 0;
inline constexpr long EFail = static_cast<long>(0x80004005L);

// Opening documents and addresses with the user's applications. Both calls return as soon
// as the application is on its way, without waiting for it, and leave the reason for a
// failure in the thread's last error.
class Shell {
public:
    virtual ~Shell() = default;

    // Carries out `operation` ("open", or empty for the default) on a file or an address
    // such as a "mailto:" address. A result above ShellExecuteFailureLimit is success.
    virtual std::intptr_t shellExecute(WindowHandle owner, const std::string& operation,
                                       const std::string& file, int showCommand) = 0;
    // Opens the address in the user's web browser; SOk on success.
    virtual long navigate(const std::wstring& address) = 0;
};

}  // namespace os
