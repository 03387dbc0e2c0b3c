#include "Command.h"
#include "os/posix/ConsolePlatform.h"
#include "platform/assertion/AssertionListenerInstaller.h"
#include "windows/reporter/ErrorReporterAssertionListener.h"
#include "windows/reporter/MessageBoxReporter.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    os::posix::ConsolePlatform console;
    // Broken expectations are reported on standard error with the other messages, never
    // mixed into the output or left in a report file wherever the command ran.
    windows::reporter::MessageBoxReporter reporter;
    windows::reporter::ErrorReporterAssertionListener listener(reporter);
    platform::AssertionListenerInstaller installer(listener);
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    return pastrixctl::runCommandLine(arguments, std::cout, std::cerr);
}
