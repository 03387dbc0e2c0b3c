// Posted messages reach the dialogs through the Qt event loop, one at a time and in order,
// whether the queue is polled or wakes the loop through a descriptor.

#include "QtDesktopTest.h"
#include "config/tab/DialogTemplates.h"
#include "exceptions/Exception.h"
#include "windows/mfc/Dialog.h"

#include <QPushButton>
#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace {

using qt_testing::QtDesktopTest;
namespace templates = products::pastrix::config::tab::templates;

constexpr unsigned First = os::WmApp + 20;
constexpr unsigned Second = os::WmApp + 21;
constexpr unsigned Third = os::WmApp + 22;
constexpr unsigned Failing = os::WmApp + 23;

// A dialog that writes down the messages it is sent.
class Recorder final : public windows::mfc::Dialog {
public:
    Recorder() : Dialog(templates::abbreviation::dialogTemplate()) {
        for (const unsigned message : {First, Second, Third}) {
            onMessage(message, [this](const os::DialogEvent& event) -> std::intptr_t {
                seen.push_back(std::to_string(event.message - os::WmApp) + ":" +
                               std::to_string(event.wParam));
                if (whileHandling) {
                    auto action = std::move(whileHandling);
                    whileHandling = nullptr;
                    action();
                }
                return 1;
            });
        }
        onMessage(Failing, [](const os::DialogEvent&) -> std::intptr_t {
            throw exceptions::Exception("The handler failed.");
        });
    }

    std::vector<std::string> seen;
    std::function<void()> whileHandling;
};

// A queue that wakes the loop through a pipe, as a desktop with a descriptor would.
class PipeWakeup final : public os::qt::QueueWakeup {
public:
    PipeWakeup() {
        if (pipe(fds_) == 0) {
            fcntl(fds_[0], F_SETFL, O_NONBLOCK);
        }
    }
    ~PipeWakeup() override {
        close(fds_[0]);
        close(fds_[1]);
    }
    int descriptor() const override { return fds_[0]; }
    void clear() override {
        char buffer[64];
        while (read(fds_[0], buffer, sizeof buffer) > 0) {
        }
        ++clears;
    }
    void wake() const { EXPECT_EQ(write(fds_[1], "x", 1), 1); }

    int clears = 0;

private:
    int fds_[2] = {-1, -1};
};

class MessagePumpTest : public QtDesktopTest {};

TEST_F(MessagePumpTest, PolledQueueDeliversPostedMessagesInOrder) {
    Recorder recorder;
    ASSERT_TRUE(recorder.create(0));
    os::windows().postMessage(recorder.getHandle(), First, 1, 0);
    os::windows().postMessage(recorder.getHandle(), Second, 2, 0);
    os::windows().postMessage(recorder.getHandle(), Third, 3, 0);
    ASSERT_TRUE(waitFor([&] { return recorder.seen.size() == 3; }));
    EXPECT_EQ(recorder.seen, (std::vector<std::string>{"20:1", "21:2", "22:3"}));
}

TEST_F(MessagePumpTest, AMessageWaitsWhileTheOneBeforeItRunsALoopOfItsOwn) {
    Recorder recorder;
    ASSERT_TRUE(recorder.create(0));
    // The first handler posts the next message and then shows a box: the second message
    // must wait for the first handler to end.
    recorder.whileHandling = [&] {
        os::windows().postMessage(recorder.getHandle(), Second, 2, 0);
        answerNextBox(QMessageBox::Ok);
        os::dialogs().messageBox(recorder.getHandle(), "Busy", "Pastrix", os::mb::Ok);
        recorder.seen.push_back("box closed");
    };
    os::windows().postMessage(recorder.getHandle(), First, 1, 0);
    ASSERT_TRUE(waitFor([&] { return recorder.seen.size() == 3; }));
    EXPECT_EQ(recorder.seen, (std::vector<std::string>{"20:1", "box closed", "21:2"}));
    EXPECT_EQ(seenBoxes.size(), 1U);
}

TEST_F(MessagePumpTest, AWakeupDescriptorWakesTheLoopInsteadOfPolling) {
    PipeWakeup wakeup;
    os::qt::QtDialogViews woken(windows, desktop.errors, resources, &wakeup,
                                std::chrono::milliseconds(1));
    os::Port port = os::installed();
    port.dialogViews = &woken;
    os::ScopedInstall install(port);

    Recorder recorder;
    ASSERT_TRUE(recorder.create(0));
    spin(std::chrono::milliseconds(20));
    os::windows().postMessage(recorder.getHandle(), First, 1, 0);
    os::windows().postMessage(recorder.getHandle(), Second, 2, 0);
    // Without the descriptor becoming readable nothing looks at the queue.
    spin(std::chrono::milliseconds(100));
    EXPECT_TRUE(recorder.seen.empty());

    const int clearsBefore = wakeup.clears;
    wakeup.wake();
    ASSERT_TRUE(waitFor([&] { return recorder.seen.size() == 2; }));
    EXPECT_EQ(recorder.seen, (std::vector<std::string>{"20:1", "21:2"}));
    EXPECT_GT(wakeup.clears, clearsBefore);
}

TEST_F(MessagePumpTest, AFailingHandlerEndsTheModalDialogAndReachesItsCaller) {
    Recorder recorder;
    whenShown(templates::abbreviation::Dialog, [&](os::qt::QtView& view) {
        os::windows().postMessage(view.getHandle(), Failing, 0, 0);
    });
    try {
        recorder.doModal();
        FAIL() << "the dialog ended normally";
    } catch (const exceptions::Exception& e) {
        EXPECT_EQ(e.getMessage(), "The handler failed.");
    }
    EXPECT_EQ(views.find(templates::abbreviation::Dialog), nullptr);
    EXPECT_FALSE(recorder.hasWindow());
}

TEST_F(MessagePumpTest, AModelessDialogThatEndsGoesOutOfSight) {
    Recorder recorder;
    ASSERT_TRUE(recorder.create(0));
    os::qt::QtView* view = views.find(templates::abbreviation::Dialog);
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(view->widget()->isVisible());
    click(view->control(os::id::Cancel));
    EXPECT_TRUE(view->hasEnded());
    EXPECT_FALSE(view->widget()->isVisible());
}

TEST_F(MessagePumpTest, AModalDialogEndsWithTheResultItsPresenterGives) {
    Recorder recorder;
    whenShown(templates::abbreviation::Dialog, [&](os::qt::QtView& view) {
        // The close box cancels.
        view.widget()->close();
    });
    EXPECT_EQ(recorder.doModal(), os::id::Cancel);

    whenShown(templates::abbreviation::Dialog,
              [&](os::qt::QtView& view) { click(view.control(os::id::Ok)); });
    EXPECT_EQ(recorder.doModal(), os::id::Ok);
}

}  // namespace
