#include "EventWindow.h"
#include "HookLibraryModule.h"
#include "InstalledHooks.h"
#include "StartedProcess.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace pastrix::tests::hooklib {
namespace {

using namespace std::chrono_literals;
using Event = EventWindow::Event;

struct WindowSearch {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK matchProcess(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<WindowSearch*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId && IsWindowVisible(window)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// The process's visible top-level window, waiting up to some seconds for it.
HWND topLevelWindowOf(DWORD processId) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        WindowSearch search{processId, nullptr};
        EnumWindows(&matchProcess, reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr) {
            return search.found;
        }
        Sleep(50);
    }
    return nullptr;
}

std::string textOf(HWND window) {
    char buffer[256] = {};
    DWORD_PTR length = 0;
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof(buffer), reinterpret_cast<LPARAM>(buffer),
                        SMTO_ABORTIFHUNG, 2000, &length);
    return std::string(buffer);
}

// Keys an X client types into Wine's notepad pass the installed keyboard procedure, which
// reports them and passes them on to notepad.
TEST(Notepad, KeysTypedIntoNotepadAreReportedAndStillReachIt) {
    const HookLibraryModule library;
    ASSERT_NE(library.module(), nullptr);
    EventWindow window;
    const InstalledHooks hooks(library, window.handle());
    ASSERT_TRUE(hooks.installed());

    const StartedProcess notepad("notepad");
    ASSERT_TRUE(notepad.ok());
    WaitForInputIdle(notepad.handle(), 5000);
    HWND notepadWindow = topLevelWindowOf(notepad.id());
    ASSERT_NE(notepadWindow, nullptr);
    HWND edit = FindWindowExA(notepadWindow, nullptr, "Edit", nullptr);
    ASSERT_NE(edit, nullptr);
    // Wine keeps the X window it made for a window as this property.
    const auto xWindow =
        reinterpret_cast<std::uintptr_t>(GetPropA(notepadWindow, "__wine_x11_whole_window"));
    ASSERT_NE(xWindow, 0U);
    window.collect(0, 100ms);

    // The hook runs on this thread, so it keeps pumping while xdotool types.
    const StartedProcess xdotool("Z:\\usr\\bin\\xdotool windowactivate --sync " +
                                 std::to_string(xWindow) + " type --delay 80 hi");
    ASSERT_TRUE(xdotool.ok()) << "error " << GetLastError();
    std::vector<Event> typed;
    for (int round = 0; round < 50 && typed.size() < 4; ++round) {
        for (const Event& event : window.collect(0, 100ms)) {
            if (event.message == windows::hook::KeyEventMessage &&
                (event.virtualKey == 'H' || event.virtualKey == 'I')) {
                typed.push_back(event);
            }
        }
    }

    ASSERT_EQ(typed.size(), 4U);
    EXPECT_EQ(typed[0].virtualKey, 'H');
    EXPECT_EQ(typed[0].keyData >> 31, 0U);
    EXPECT_EQ(typed[1].virtualKey, 'H');
    EXPECT_EQ(typed[1].keyData >> 31, 1U);
    EXPECT_EQ(typed[2].virtualKey, 'I');
    EXPECT_EQ(typed[2].keyData >> 31, 0U);
    EXPECT_EQ(typed[3].virtualKey, 'I');
    EXPECT_EQ(typed[3].keyData >> 31, 1U);
    window.collect(0, 200ms);
    EXPECT_EQ(textOf(edit), "hi");
}

}  // namespace
}  // namespace pastrix::tests::hooklib
