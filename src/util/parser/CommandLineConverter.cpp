#include "util/parser/CommandLineConverter.h"

#include "platform/assertion/Assertion.h"
#include "util/StringHelper.h"
#include "util/memory/Memory.h"
#include "util/parser/CommandLineConverterException.h"
#include "windows/process/ProcessHelper.h"

namespace util::parser {

using std::string;

CommandLineConverter::CommandLineConverter() : commandLine(windows::process::getCommandLine()) {
    const std::vector<string> arguments = convert(commandLine);
    argc = static_cast<int>(arguments.size());
    argv = new char*[arguments.size() + 1];
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        argv[i] = memory::duplicate(arguments[i].c_str(), arguments[i].size() + 1);
    }
    argv[arguments.size()] = nullptr;
}

CommandLineConverter::~CommandLineConverter() {
    for (int i = 0; i < argc; ++i) {
        delete[] argv[i];
    }
    delete[] argv;
}

int CommandLineConverter::getArgc() const {
    return argc;
}

char** CommandLineConverter::getArgv() const {
    return argv;
}

std::vector<string> CommandLineConverter::convert(const string& cmdLine) const {
    const string text = cmdLine + " ";
    std::vector<string> arguments;
    std::size_t start = 0;
    std::size_t searchFrom = 0;
    while (start < text.size()) {
        const std::size_t spacePos = text.find(' ', searchFrom);
        const std::size_t fnuttPos = text.find('"', searchFrom);
        PX_ASSERT(spacePos != fnuttPos);
        if (spacePos == fnuttPos) {
            break;
        }
        if (spacePos < fnuttPos) {
            const string command = text.substr(start, spacePos - start);
            if (!command.empty()) {
                PX_ASSERT(command.find_first_not_of(" ") != string::npos);
                arguments.push_back(command);
            }
            start = spacePos + 1;
            searchFrom = start;
        } else {
            const std::size_t closing = text.find('"', fnuttPos + 1);
            if (closing == string::npos) {
                throw CommandLineConverterException(
                    "Unmatched \" found when parsing command line: " + text);
            }
            // Blanks between the quotes belong to the argument.
            searchFrom = closing + 1;
        }
    }
    for (string& argument : arguments) {
        try {
            StringHelper::replaceAll(argument, "\"", "");
        } catch (...) {
            PX_ASSERT(false);
        }
    }
    return arguments;
}

}  // namespace util::parser
