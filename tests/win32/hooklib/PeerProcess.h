#pragma once

#include <string>

namespace pastrix::tests::hooklib {

// Runs the peer program, another process that loads the hook library, with the arguments after
// the library's path; returns what it printed (its first line), or "exit N" when it failed.
std::string runPeer(const std::string& arguments = "");

}  // namespace pastrix::tests::hooklib
