// A command line of any content: it splits into arguments without quotes, or fails with the
// unmatched-quote message. Without quotes, the arguments are the runs of non-blanks.
#include "FuzzSupport.h"
#include "exceptions/Exception.h"
#include "util/parser/CommandLineConverter.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::setUp();
    static const util::parser::CommandLineConverter converter;
    const std::string command = fuzz::bytesOf(data, size);
    std::vector<std::string> arguments;
    try {
        arguments = converter.convert(command);
    } catch (const exceptions::Exception&) {
        return 0;
    }
    // A quoted empty stretch ("") is an empty argument, so emptiness alone proves nothing.
    for (const std::string& argument : arguments) {
        if (argument.find('"') != std::string::npos) {
            std::abort();
        }
    }
    if (command.find('"') == std::string::npos) {
        std::vector<std::string> runs;
        std::size_t at = 0;
        while ((at = command.find_first_not_of(' ', at)) != std::string::npos) {
            const std::size_t end = command.find(' ', at);
            runs.push_back(command.substr(at, end - at));
            at = end;
        }
        if (runs != arguments) {
            std::abort();
        }
    }
    return 0;
}
