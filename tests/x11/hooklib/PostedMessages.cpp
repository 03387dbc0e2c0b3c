#include "hooklib/PostedMessages.h"

#include <algorithm>

namespace hook_test {

std::mutex postedMutex;
std::vector<Posted> posted;

std::vector<Posted> takePosted() {
    std::lock_guard lock(postedMutex);
    std::vector<Posted> taken;
    taken.swap(posted);
    return taken;
}

std::size_t postedCount() {
    std::lock_guard lock(postedMutex);
    return posted.size();
}

}  // namespace hook_test

// The program's side of the contract: queue the message for the window's thread.
extern "C" __attribute__((visibility("default"))) int PastrixPostInputMessage(
    std::uintptr_t window, unsigned int message, std::uintptr_t wParam, std::intptr_t lParam,
    const std::uint8_t* keyState) {
    hook_test::Posted record{window, message, wParam, static_cast<std::uint32_t>(lParam), {}};
    std::copy(keyState, keyState + 256, record.state.begin());
    std::lock_guard lock(hook_test::postedMutex);
    hook_test::posted.push_back(record);
    return 1;
}
