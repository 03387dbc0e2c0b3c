#include "os/sim/SimDialogs.h"

namespace os::sim {

int SimDialogs::messageBox(WindowHandle owner, const std::string& text, const std::string& caption,
                           unsigned style) {
    std::lock_guard lock(mutex_);
    int answer = (style & mb::ButtonsMask) == mb::YesNo ? id::No : id::Ok;
    if (!answers_.empty()) {
        answer = answers_.front();
        answers_.pop_front();
    }
    shown_.push_back(Shown{owner, text, caption, style, answer});
    return answer;
}

void SimDialogs::answerNext(int button) {
    std::lock_guard lock(mutex_);
    answers_.push_back(button);
}

std::vector<SimDialogs::Shown> SimDialogs::shown() const {
    std::lock_guard lock(mutex_);
    return shown_;
}

void SimDialogs::clear() {
    std::lock_guard lock(mutex_);
    shown_.clear();
    answers_.clear();
}

}  // namespace os::sim
