#pragma once

#include <string>
#include <windows.h>

namespace pastrix::tests::hooklib {

// A program started with CreateProcessA; ended at the end of the test if it still runs.
class StartedProcess {
public:
    explicit StartedProcess(std::string commandLine);
    ~StartedProcess();
    StartedProcess(const StartedProcess&) = delete;
    StartedProcess& operator=(const StartedProcess&) = delete;

    bool ok() const { return started; }
    DWORD id() const { return process.dwProcessId; }
    HANDLE handle() const { return process.hProcess; }

private:
    PROCESS_INFORMATION process{};
    bool started = false;
};

}  // namespace pastrix::tests::hooklib
