#pragma once

#include "os/DialogView.h"
#include "os/Types.h"

#include <cstdint>
#include <map>
#include <mutex>

namespace os::common {

// The windows of one toolkit's dialogs, to find the view a message is for: window procedures
// have no context of their own, so the toolkit keeps one table for the process and the
// procedure of its window class asks it. Views come and go on any thread.
class ViewRoutes {
public:
    // What a dialog's window leads to: the view, which hands events on to its presenter.
    class Target {
    public:
        virtual std::intptr_t deliver(const DialogEvent& event) = 0;

    protected:
        virtual ~Target() = default;
    };

    void add(WindowHandle window, Target& target);
    void remove(WindowHandle window);

    // A message sent or dispatched to a window: the view's presenter answers it as a Message
    // event. Creation and destruction are the toolkit's own business and windows without a
    // view answer 0.
    std::intptr_t route(WindowHandle window, unsigned int message, std::uintptr_t wParam,
                        std::intptr_t lParam) const;

    // A window message as a dialog event of the given kind.
    static DialogEvent eventOf(unsigned int message, std::uintptr_t wParam, std::intptr_t lParam,
                               Notification notification = Notification::Message);

private:
    mutable std::mutex mutex_;
    std::map<WindowHandle, Target*> routes_;
};

// The table of one toolkit and the procedure of its dialogs' window class, which asks it:
// window procedures have no context of their own. One table per toolkit type.
template <class Toolkit>
struct ToolkitRoutes {
    static ViewRoutes& table() {
        static ViewRoutes routes;
        return routes;
    }
    static std::intptr_t procedure(WindowHandle window, unsigned int message, std::uintptr_t wParam,
                                   std::intptr_t lParam) {
        return table().route(window, message, wParam, lParam);
    }
};

}  // namespace os::common
