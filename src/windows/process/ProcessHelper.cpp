#include "windows/process/ProcessHelper.h"

#include "os/Port.h"
#include "platform/errorresources/SystemErrors.h"
#include "windows/process/ProcessExceptions.h"

namespace windows::process {

void shellExecute(const std::string& file, const std::string& operation) {
    const std::intptr_t result = os::shell().shellExecute(0, operation, file, os::SwShowNormal);
    if (result <= os::ShellExecuteFailureLimit) {
        const int errorCode = os::errors().lastError();
        throw CouldNotShellExecuteException("Error when trying to run command (ShellExecute) " +
                                            file + "\n" +
                                            platform::errorresources::SystemErrors::map(errorCode));
    }
}

std::string getCommandLine() {
    return os::systemInfo().getCommandLine();
}

}  // namespace windows::process
