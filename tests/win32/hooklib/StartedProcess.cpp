#include "StartedProcess.h"

#include <vector>

namespace pastrix::tests::hooklib {

StartedProcess::StartedProcess(std::string commandLine) {
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    std::vector<char> writable(commandLine.begin(), commandLine.end());
    writable.push_back('\0');
    started = CreateProcessA(nullptr, writable.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                             &startup, &process);
}

StartedProcess::~StartedProcess() {
    if (!started) {
        return;
    }
    if (WaitForSingleObject(process.hProcess, 0) != WAIT_OBJECT_0) {
        TerminateProcess(process.hProcess, 1);
        WaitForSingleObject(process.hProcess, 5000);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

}  // namespace pastrix::tests::hooklib
