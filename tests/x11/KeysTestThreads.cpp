// Every piece of the backend opens its own connection and uses it from its own thread, so
// Xlib must know about threads before the first connection opens.

#include <X11/Xlib.h>

namespace {

[[maybe_unused]] const bool threadsInitialised = XInitThreads() != 0;

}  // namespace
