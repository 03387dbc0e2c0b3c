#include "os/sim/SimShell.h"

#include "os/ErrorCodes.h"

namespace os::sim {

SimShell::SimShell(Errors& errors) : errors_(errors) {}

std::intptr_t SimShell::shellExecute(WindowHandle owner, const std::string& operation,
                                     const std::string& file, int showCommand) {
    std::lock_guard lock(mutex_);
    Launch launch;
    launch.kind = Launch::Kind::ShellExecute;
    launch.owner = owner;
    launch.operation = operation;
    launch.file = file;
    launch.showCommand = showCommand;
    launch.succeeded = failure_ == error::Success;
    launches_.push_back(launch);
    if (failure_ != error::Success) {
        errors_.setLastError(failure_);
        // The shell answers with the error code itself where it fits in its range.
        return failure_ > 0 && failure_ <= ShellExecuteFailureLimit ? failure_ : SeErrNoAssociation;
    }
    errors_.setLastError(error::Success);
    return ShellExecuteFailureLimit + 10;
}

long SimShell::navigate(const std::wstring& address) {
    std::lock_guard lock(mutex_);
    Launch launch;
    launch.kind = Launch::Kind::Navigate;
    launch.address = address;
    launch.succeeded = failure_ == error::Success;
    launches_.push_back(launch);
    errors_.setLastError(failure_);
    return failure_ == error::Success ? SOk : EFail;
}

void SimShell::failWith(int errorCode) {
    std::lock_guard lock(mutex_);
    failure_ = errorCode;
}

std::vector<SimShell::Launch> SimShell::launches() const {
    std::lock_guard lock(mutex_);
    return launches_;
}

}  // namespace os::sim
