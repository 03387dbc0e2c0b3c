#pragma once

#include <string>

// Launching documents and reading the process's own invocation.
namespace windows::process {

// Asks the shell to carry out `operation` ("open") on a file or an address such as a
// "mailto:" address, in a normal window, and returns without waiting. Throws
// CouldNotShellExecuteException.
void shellExecute(const std::string& file, const std::string& operation);

// The process's whole command line, program path included.
std::string getCommandLine();

}  // namespace windows::process
