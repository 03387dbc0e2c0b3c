#pragma once

#include "os/Errors.h"
#include "os/Shell.h"

#include <mutex>
#include <string>
#include <vector>

namespace os::sim {

// The shell of the simulated desktop: every launch is recorded, and the test can make the
// following launches fail with an error code of its choice.
class SimShell final : public Shell {
public:
    struct Launch {
        enum class Kind { ShellExecute, Navigate };
        Kind kind = Kind::ShellExecute;
        WindowHandle owner = 0;
        std::string operation;
        std::string file;
        std::wstring address;
        int showCommand = 0;
        bool succeeded = false;
    };

    explicit SimShell(Errors& errors);

    std::intptr_t shellExecute(WindowHandle owner, const std::string& operation,
                               const std::string& file, int showCommand) override;
    long navigate(const std::wstring& address) override;

    // Launches fail with this error code from now on; error::Success makes them work again.
    void failWith(int errorCode);
    std::vector<Launch> launches() const;

private:
    Errors& errors_;
    mutable std::mutex mutex_;
    int failure_ = 0;
    std::vector<Launch> launches_;
};

}  // namespace os::sim
