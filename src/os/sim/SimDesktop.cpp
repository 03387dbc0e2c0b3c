#include "os/sim/SimDesktop.h"

namespace os::sim {

// The Windows parts keep the thread's last error in the system itself and need no link to it.
SimDesktop::SimDesktop()
    :
#if !defined(_WIN32)
      fileSystem(errors),
#endif
      memory(errors),
      windows(errors),
      graphics(windows, errors),
      input(keyboard, windows),
      clipboard(errors, memory),
      shell(errors),
      systemInfo(errors),
#if !defined(_WIN32)
      libraries(errors),
#endif
      hooks(errors, input, keyboard, windows),
      views(windows, dialogs, errors),
      statusArea(errors),
      registry(errors) {
}

Port SimDesktop::port() {
    Port port;
    port.errors = &errors;
    port.fileSystem = &fileSystem;
    port.globalMemory = &memory;
    port.keyboard = &keyboard;
    port.windows = &windows;
    port.dialogs = &dialogs;
    port.graphics = &graphics;
    port.input = &input;
    port.clipboard = &clipboard;
    port.shell = &shell;
    port.systemInfo = &systemInfo;
    port.libraries = &libraries;
    port.hooks = &hooks;
    port.threads = &threads;
    port.dialogViews = &views;
    port.statusArea = &statusArea;
    port.clock = &clock;
    port.registry = &registry;
    return port;
}

}  // namespace os::sim
