#pragma once

#include "os/Errors.h"
#include "os/Shell.h"

#include <string>

namespace os::posix {

// Opens files and addresses with the desktop's opener ("xdg-open"), the program that knows
// the user's preferred application for each kind of document and address. The opener is
// started directly with the target as its one argument, never through a command shell, so
// no character of a name or address can be taken as a command. The launch is detached: the
// call returns once the opener runs, and it is never waited for.
class PosixShell final : public Shell {
public:
    explicit PosixShell(Errors& errors, std::string opener = "xdg-open");

    std::intptr_t shellExecute(WindowHandle owner, const std::string& operation,
                               const std::string& file, int showCommand) override;
    long navigate(const std::wstring& address) override;

    // Whether the text starts with an address scheme such as "https:" or "mailto:" and is
    // therefore an address rather than a path.
    static bool isAddress(const std::string& target);

private:
    // Starts the opener on the target; the program's error code, or error::Success.
    int open(const std::string& target) const;
    // The opener's full path from PATH, or empty when there is none.
    std::string findOpener() const;

    Errors& errors_;
    std::string opener_;
};

}  // namespace os::posix
