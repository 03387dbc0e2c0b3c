#include "os/common/ViewRoutes.h"

#include "os/Windows.h"

namespace os::common {

void ViewRoutes::add(WindowHandle window, Target& target) {
    std::lock_guard lock(mutex_);
    routes_[window] = &target;
}

void ViewRoutes::remove(WindowHandle window) {
    std::lock_guard lock(mutex_);
    routes_.erase(window);
}

std::intptr_t ViewRoutes::route(WindowHandle window, unsigned int message, std::uintptr_t wParam,
                                std::intptr_t lParam) const {
    Target* target = nullptr;
    {
        std::lock_guard lock(mutex_);
        const auto found = routes_.find(window);
        if (found != routes_.end()) {
            target = found->second;
        }
    }
    // The presenter runs without the lock: it may open or close views of its own.
    if (target == nullptr || message == wm::Create || message == wm::Destroy) {
        return 0;
    }
    return target->deliver(eventOf(message, wParam, lParam));
}

DialogEvent ViewRoutes::eventOf(unsigned int message, std::uintptr_t wParam, std::intptr_t lParam,
                                Notification notification) {
    DialogEvent event;
    event.notification = notification;
    event.message = message;
    event.wParam = wParam;
    event.lParam = lParam;
    return event;
}

}  // namespace os::common
