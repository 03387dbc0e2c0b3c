#pragma once

#include <string>
#include <vector>

namespace util::parser {

// Splits the process's command line into the argument count and vector a C program's entry
// point receives: arguments are separated by blanks, double quotes group blanks into an
// argument and are removed, and there is no escape character.
class CommandLineConverter {
public:
    // Reads the process's command line. Throws CommandLineConverterException on an unmatched
    // double quote.
    CommandLineConverter();
    virtual ~CommandLineConverter();
    CommandLineConverter(const CommandLineConverter&) = delete;
    CommandLineConverter& operator=(const CommandLineConverter&) = delete;

    int getArgc() const;
    // argc pointers to the arguments and a final null pointer, owned by the converter.
    char** getArgv() const;

    std::vector<std::string> convert(const std::string& cmdLine) const;

private:
    int argc = 0;
    char** argv = nullptr;
    std::string commandLine;
};

}  // namespace util::parser
