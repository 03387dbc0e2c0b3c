#include "os/Port.h"

#include <cstdio>
#include <cstdlib>

namespace os {

namespace {

Port current;

template <typename T>
T& require(T* part, const char* name) {
    if (part == nullptr) {
        // Reaching the platform before a backend was installed is a programming error that
        // no caller could recover from.
        std::fprintf(stderr, "Pastrix: the platform's %s was used before it was installed.\n",
                     name);
        std::abort();
    }
    return *part;
}

}  // namespace

Port install(const Port& port) {
    Port previous = current;
    current = port;
    return previous;
}

const Port& installed() {
    return current;
}

Errors& errors() {
    return require(current.errors, "error reporting");
}
FileSystem& fileSystem() {
    return require(current.fileSystem, "file system");
}
GlobalMemory& globalMemory() {
    return require(current.globalMemory, "memory");
}
Keyboard& keyboard() {
    return require(current.keyboard, "keyboard");
}
Windows& windows() {
    return require(current.windows, "window system");
}
Dialogs& dialogs() {
    return require(current.dialogs, "message boxes");
}
Clipboard& clipboard() {
    return require(current.clipboard, "clipboard");
}

Graphics& graphics() {
    return require(current.graphics, "graphics");
}

Input& input() {
    return require(current.input, "input");
}

Shell& shell() {
    return require(current.shell, "shell");
}
SystemInfo& systemInfo() {
    return require(current.systemInfo, "system information");
}
DialogViews& dialogViews() {
    return require(current.dialogViews, "dialogs and pages");
}

Libraries& libraries() {
    return require(current.libraries, "library loader");
}

Hooks& hooks() {
    return require(current.hooks, "hooks");
}

Threads& threads() {
    return require(current.threads, "threads");
}

StatusArea& statusArea() {
    return require(current.statusArea, "notification area");
}

Clock& clock() {
    return require(current.clock, "clock");
}

Registry& registry() {
    return require(current.registry, "registry");
}

}  // namespace os
