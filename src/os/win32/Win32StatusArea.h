#pragma once

#include "os/StatusArea.h"

#include <map>
#include <mutex>
#include <utility>

namespace os::win32 {

// The shell's notification area. A restarted shell (Explorer) starts with an empty area and
// tells every top-level window with the registered message "TaskbarCreated"; the status area
// keeps the icons it added and has not deleted, and adds them again then. It hears that message
// through a hidden top-level window of its own, which belongs to the thread that made the
// status area, so that thread's message loop (the user-interface thread's) must run for the
// icons to come back.
//
// Icons are loaded shared from the program's own module: loading the same icon again gives the
// same handle and none needs destroying, so a kept icon stays valid for the next addition.
class Win32StatusArea final : public StatusArea {
public:
    // The class of the hidden window that hears the shell restart.
    static constexpr const char* ListenerClassName = "PastrixStatusAreaListener";

    Win32StatusArea();
    ~Win32StatusArea() override;
    Win32StatusArea(const Win32StatusArea&) = delete;
    Win32StatusArea& operator=(const Win32StatusArea&) = delete;

    // Operations other than Add and Delete, a size other than the record's, a null window and
    // flags other than those of the record fail with InvalidParameter or InvalidWindowHandle
    // without calling the shell. Tips longer than the record holds are cut.
    bool notifyIcon(unsigned operation, const NotifyIconData& data) override;
    IconHandle loadIcon(int resourceId) override;

    // False when the hidden window could not be made: icons then work, but do not come back
    // after a shell restart.
    bool hearsShellRestart() const { return listener_ != 0; }
    // Adds every kept icon again, as the shell's "TaskbarCreated" message asks.
    void addIconsAgain();

private:
    using Key = std::pair<WindowHandle, unsigned>;

    WindowHandle listener_ = 0;
    std::mutex mutex_;
    std::map<Key, NotifyIconData> icons_;
};

}  // namespace os::win32
