#pragma once

#include "os/Errors.h"
#include "os/StatusArea.h"
#include "os/Windows.h"
#include "os/qt/QtResources.h"

#include <functional>
#include <map>
#include <memory>
#include <utility>
#include <vector>

class QSystemTrayIcon;

namespace os::qt {

// The notification area through Qt's tray icons. An icon's clicks come back as its callback
// message, posted to its window: wParam the identifier, lParam the mouse message (a left
// click is the left button's release, as the system reports it).
class QtStatusArea final : public StatusArea {
public:
    using TrayAvailable = std::function<bool()>;

    // Mouse messages an icon reports.
    static constexpr std::intptr_t LeftButtonUp = 0x0202;
    static constexpr std::intptr_t LeftButtonDoubleClick = 0x0203;
    static constexpr std::intptr_t RightButtonUp = 0x0205;
    static constexpr std::intptr_t MiddleButtonUp = 0x0208;

    // Without `trayAvailable` the desktop is asked whether it has a notification area.
    QtStatusArea(Windows& windows, Errors& errors, QtResources& resources,
                 TrayAvailable trayAvailable = {});
    ~QtStatusArea() override;

    bool notifyIcon(unsigned operation, const NotifyIconData& data) override;
    IconHandle loadIcon(int resourceId) override;

    // The icon shown for a window and identifier, or nullptr.
    QSystemTrayIcon* trayIcon(WindowHandle window, unsigned id) const;
    std::size_t iconCount() const { return icons_.size(); }

private:
    using Key = std::pair<WindowHandle, unsigned>;

    bool add(const NotifyIconData& data);
    bool remove(const NotifyIconData& data);

    Windows& windows_;
    Errors& errors_;
    QtResources& resources_;
    TrayAvailable trayAvailable_;
    std::map<Key, std::unique_ptr<QSystemTrayIcon>> icons_;
};

}  // namespace os::qt
