#include "EventWindow.h"
#include "HookLibraryModule.h"
#include "PeerProcess.h"

#include <cstdint>
#include <string>

#include <gtest/gtest.h>

namespace pastrix::tests::hooklib {
namespace {

// What the program sets up in the library is seen by every other process that loads it.
class SharedFacts : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(library.module(), nullptr); }

    void TearDown() override {
        if (library.module() != nullptr) {
            library.keyboardDeinitializer();
            library.mouseDeinitializer();
            library.setAttachThreadInputId(0);
        }
    }

    std::string expected(int keyboard, int mouse, std::int32_t thread) const {
        return "keyboard=" + std::to_string(keyboard) + " mouse=" + std::to_string(mouse) +
               " thread=" + std::to_string(thread);
    }

    HookLibraryModule library;
    EventWindow window;
};

TEST_F(SharedFacts, AnotherProcessSeesEachHookSetUpAndTornDown) {
    const auto handle = reinterpret_cast<std::uintptr_t>(window.handle());
    EXPECT_EQ(runPeer(), expected(0, 0, 0));

    EXPECT_EQ(library.keyboardInitializer(handle, 0x1234), 1);
    EXPECT_EQ(library.keyboardIsInitiated(), 1);
    EXPECT_EQ(library.mouseIsInitiated(), 0);
    EXPECT_EQ(runPeer(), expected(1, 0, 0));

    EXPECT_EQ(library.mouseInitializer(handle, 0x5678), 1);
    EXPECT_EQ(runPeer(), expected(1, 1, 0));

    library.keyboardDeinitializer();
    EXPECT_EQ(library.keyboardIsInitiated(), 0);
    EXPECT_EQ(runPeer(), expected(0, 1, 0));

    library.mouseDeinitializer();
    EXPECT_EQ(library.mouseIsInitiated(), 0);
    EXPECT_EQ(runPeer(), expected(0, 0, 0));
}

TEST_F(SharedFacts, TheRegisteredThreadIsSeenAcrossProcessesBothWays) {
    const auto thread = static_cast<std::int32_t>(GetCurrentThreadId());
    library.setAttachThreadInputId(thread);
    EXPECT_EQ(library.getAttachThreadInputId(), thread);
    EXPECT_EQ(runPeer(), expected(0, 0, thread));

    EXPECT_EQ(runPeer("register 4321"), expected(0, 0, 4321));
    EXPECT_EQ(library.getAttachThreadInputId(), 4321);

    library.setAttachThreadInputId(0);
    EXPECT_EQ(runPeer(), expected(0, 0, 0));
}

TEST_F(SharedFacts, TheFactsEndWithTheLastProcessThatHasTheLibraryLoaded) {
    library.keyboardInitializer(reinterpret_cast<std::uintptr_t>(window.handle()), 1);
    library.setAttachThreadInputId(99);
    ASSERT_EQ(runPeer(), expected(1, 0, 99));

    // As when the program ends without tearing its hooks down: nothing is left set up.
    library.unload();
    EXPECT_EQ(runPeer(), expected(0, 0, 0));
}

}  // namespace
}  // namespace pastrix::tests::hooklib
