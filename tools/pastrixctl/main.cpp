#include "Command.h"
#include "os/posix/ConsolePlatform.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    os::posix::ConsolePlatform platform;
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    return pastrixctl::runCommandLine(arguments, std::cout, std::cerr);
}
