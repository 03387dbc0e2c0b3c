#pragma once

#include <iosfwd>
#include <string>
#include <vector>

// The "workspace" and "coolkeys" command groups: slots and Cool Keys of a workspace
// directory, read and changed as the program itself does.
namespace pastrixctl {

inline constexpr const char* WorkspaceUsage =
    "  workspace list DIR                     one row per filled slot\n"
    "  workspace show DIR SLOT                the formats of one slot\n"
    "  workspace export DIR SLOT FORMAT FILE  writes a format's bytes to FILE (- for output)\n"
    "  workspace import DIR SLOT FORMAT FILE  sets a format's bytes from FILE and saves the "
    "slot\n";

inline constexpr const char* CoolKeysUsage =
    "  coolkeys list DIR                      one row per Cool Key\n"
    "  coolkeys add DIR ABBREVIATION TEXT     creates or rewrites a Cool Key\n"
    "  coolkeys add DIR ABBREVIATION --file FILE\n"
    "                                         the text is the file's bytes; its line breaks\n"
    "                                         (LF or CR LF) each type one Enter\n"
    "  coolkeys remove DIR ABBREVIATION       deletes a Cool Key\n"
    "    A running Pastrix reads the Cool Keys when it starts: restart it to use the\n"
    "    changes.\n";

int runWorkspaceCommand(const std::vector<std::string>& arguments, std::ostream& out,
                        std::ostream& err);
int runCoolKeysCommand(const std::vector<std::string>& arguments, std::ostream& out,
                       std::ostream& err);

// A text on one line: backslashes, line breaks, tabs and other control characters are
// written as escapes.
std::string escapeText(const std::string& text);

}  // namespace pastrixctl
