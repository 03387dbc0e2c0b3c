#pragma once

#include "os/Clipboard.h"
#include "os/DialogView.h"
#include "os/Dialogs.h"
#include "os/Errors.h"
#include "os/FileSystem.h"
#include "os/GlobalMemory.h"
#include "os/Graphics.h"
#include "os/Hooks.h"
#include "os/Input.h"
#include "os/Keyboard.h"
#include "os/Libraries.h"
#include "os/Registry.h"
#include "os/Shell.h"
#include "os/StatusArea.h"
#include "os/SystemInfo.h"
#include "os/Threads.h"
#include "os/Windows.h"

namespace os {

// The platform the program runs on: one implementation of each interface. A backend (the
// real desktop, or the simulated one in tests) fills it in and installs it once, before
// anything else runs; the rest of the program reaches the platform only through it.
struct Port {
    Errors* errors = nullptr;
    FileSystem* fileSystem = nullptr;
    GlobalMemory* globalMemory = nullptr;
    Keyboard* keyboard = nullptr;
    Windows* windows = nullptr;
    Dialogs* dialogs = nullptr;
    Graphics* graphics = nullptr;
    Input* input = nullptr;
    Clipboard* clipboard = nullptr;
    Shell* shell = nullptr;
    SystemInfo* systemInfo = nullptr;
    Libraries* libraries = nullptr;
    Hooks* hooks = nullptr;
    Threads* threads = nullptr;
    DialogViews* dialogViews = nullptr;
    StatusArea* statusArea = nullptr;
    Clock* clock = nullptr;
    Registry* registry = nullptr;
};

// Installs the port for the whole process and returns the one it replaces.
Port install(const Port& port);
const Port& installed();

Errors& errors();
FileSystem& fileSystem();
GlobalMemory& globalMemory();
Keyboard& keyboard();
Windows& windows();
Dialogs& dialogs();
Graphics& graphics();
Input& input();
Clipboard& clipboard();
Shell& shell();
SystemInfo& systemInfo();
Libraries& libraries();
Hooks& hooks();
Threads& threads();
DialogViews& dialogViews();
StatusArea& statusArea();
Clock& clock();
Registry& registry();

}  // namespace os
