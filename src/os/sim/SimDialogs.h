#pragma once

#include "os/Dialogs.h"

#include <deque>
#include <mutex>
#include <string>
#include <vector>

namespace os::sim {

// Message boxes of the simulated desktop: every box is recorded, and the user's answers come
// from a script the test writes beforehand.
class SimDialogs final : public Dialogs {
public:
    struct Shown {
        WindowHandle owner = 0;
        std::string text;
        std::string caption;
        unsigned style = 0;
        int answer = 0;
    };

    int messageBox(WindowHandle owner, const std::string& text, const std::string& caption,
                   unsigned style) override;

    // The next box is answered with this button. Boxes without a scripted answer are
    // answered with OK, and questions with No, the answer that changes nothing.
    void answerNext(int button);
    std::vector<Shown> shown() const;
    void clear();

private:
    mutable std::mutex mutex_;
    std::deque<int> answers_;
    std::vector<Shown> shown_;
};

}  // namespace os::sim
