#include "Command.h"
#if defined(_WIN32)
#include "os/win32/Win32ConsolePlatform.h"

#include <fcntl.h>
#include <io.h>
#include <stdio.h>
#else
#include "os/posix/ConsolePlatform.h"
#endif
#include "platform/assertion/AssertionListenerInstaller.h"
#include "windows/reporter/ErrorReporterAssertionListener.h"
#include "windows/reporter/MessageBoxReporter.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
#if defined(_WIN32)
    os::win32::Win32ConsolePlatform console;
    // Decoded settings and exported slots are bytes: a line break must not become CR LF on
    // the way out.
    _setmode(_fileno(stdout), _O_BINARY);
#else
    os::posix::ConsolePlatform console;
#endif
    // Broken expectations are reported on standard error with the other messages, never
    // mixed into the output or left in a report file wherever the command ran.
    windows::reporter::MessageBoxReporter reporter;
    windows::reporter::ErrorReporterAssertionListener listener(reporter);
    platform::AssertionListenerInstaller installer(listener);
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    return pastrixctl::runCommandLine(arguments, std::cout, std::cerr);
}
