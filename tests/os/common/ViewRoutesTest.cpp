#include "os/common/ViewRoutes.h"

#include <functional>
#include <vector>

#include <gtest/gtest.h>

namespace {

using os::common::ViewRoutes;

class RecordingTarget final : public ViewRoutes::Target {
public:
    std::intptr_t deliver(const os::DialogEvent& event) override {
        events.push_back(event);
        if (onDeliver) {
            onDeliver();
        }
        return answer;
    }

    std::vector<os::DialogEvent> events;
    std::intptr_t answer = 0;
    std::function<void()> onDeliver;
};

TEST(ViewRoutesTest, AMessageReachesTheViewOfItsWindowOnly) {
    ViewRoutes routes;
    RecordingTarget first;
    RecordingTarget second;
    first.answer = 11;
    second.answer = 22;
    routes.add(0x100, first);
    routes.add(0x200, second);

    EXPECT_EQ(routes.route(0x200, 0x8001, 7, -3), 22);
    ASSERT_EQ(second.events.size(), 1U);
    EXPECT_TRUE(first.events.empty());
    EXPECT_EQ(second.events[0].notification, os::Notification::Message);
    EXPECT_EQ(second.events[0].message, 0x8001U);
    EXPECT_EQ(second.events[0].wParam, 7U);
    EXPECT_EQ(second.events[0].lParam, -3);

    // A window without a view, and a view's own creation and destruction, answer 0 unseen.
    EXPECT_EQ(routes.route(0x300, 0x8001, 0, 0), 0);
    EXPECT_EQ(routes.route(0x100, os::wm::Create, 0, 0), 0);
    EXPECT_EQ(routes.route(0x100, os::wm::Destroy, 0, 0), 0);
    EXPECT_TRUE(first.events.empty());

    routes.remove(0x200);
    EXPECT_EQ(routes.route(0x200, 0x8001, 0, 0), 0);
    EXPECT_EQ(second.events.size(), 1U);
}

TEST(ViewRoutesTest, APresenterMayCloseItsViewWhileAnsweringAMessage) {
    ViewRoutes routes;
    RecordingTarget view;
    view.answer = 1;
    view.onDeliver = [&] { routes.remove(0x100); };
    routes.add(0x100, view);

    EXPECT_EQ(routes.route(0x100, 0x8001, 0, 0), 1);
    EXPECT_EQ(routes.route(0x100, 0x8001, 0, 0), 0);
    EXPECT_EQ(view.events.size(), 1U);
}

}  // namespace
