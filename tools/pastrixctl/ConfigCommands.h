#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace pastrixctl {

// "config": reads and edits a scrambled configuration file. Edits change only the text of the
// key concerned, so comments, order and line breaks stay as they are.
int runConfigCommand(const std::vector<std::string>& arguments, std::ostream& out,
                     std::ostream& err);

extern const char* const configUsage;

}  // namespace pastrixctl
