#include "EventWindow.h"
#include "HookLibraryModule.h"
#include "InstalledHooks.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

namespace pastrix::tests::hooklib {
namespace {

using namespace std::chrono_literals;
using Event = EventWindow::Event;

constexpr std::uint32_t Released = 1U << 31;
constexpr std::uint32_t PreviouslyDown = 1U << 30;
constexpr std::uint32_t AltDown = 1U << 29;
constexpr std::uint32_t Extended = 1U << 24;

unsigned scanCodeOf(BYTE key) {
    return MapVirtualKeyA(key, MAPVK_VK_TO_VSC) & 0xFFU;
}

void sendKey(BYTE key, bool release, bool extended = false) {
    const DWORD flags = (release ? KEYEVENTF_KEYUP : 0U) | (extended ? KEYEVENTF_EXTENDEDKEY : 0U);
    keybd_event(key, static_cast<BYTE>(scanCodeOf(key)), flags, 0);
}

std::vector<Event> keyEvents(const std::vector<Event>& events) {
    std::vector<Event> keys;
    std::copy_if(events.begin(), events.end(), std::back_inserter(keys), [](const Event& event) {
        return event.message == windows::hook::KeyEventMessage;
    });
    return keys;
}

// Keys sent to the desktop reach the installed keyboard procedure, which posts each to the
// window it was started with.
class KeyEvents : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(library.module(), nullptr);
        hooks = std::make_unique<InstalledHooks>(library, window.handle());
        ASSERT_TRUE(hooks->installed());
        // Whatever was still on its way before the test.
        window.collect(0, 50ms);
    }

    void TearDown() override { hooks.reset(); }

    HookLibraryModule library;
    EventWindow window;
    std::unique_ptr<InstalledHooks> hooks;
};

TEST_F(KeyEvents, PressAndReleaseArePostedWithTheVirtualKeyAndTheKeyData) {
    sendKey('A', false);
    sendKey('A', true);

    const std::vector<Event> events = keyEvents(window.collect(2, 2s));
    ASSERT_EQ(events.size(), 2U);
    const std::uint32_t scanCode = scanCodeOf('A') << 16;
    EXPECT_EQ(events[0].virtualKey, 'A');
    EXPECT_EQ(events[0].keyData, 1U | scanCode);
    EXPECT_EQ(events[1].virtualKey, 'A');
    EXPECT_EQ(events[1].keyData, 1U | scanCode | PreviouslyDown | Released);
}

TEST_F(KeyEvents, AHeldKeyRepeatsWithThePreviousStateSet) {
    sendKey('B', false);
    sendKey('B', false);
    sendKey('B', true);

    const std::vector<Event> events = keyEvents(window.collect(3, 2s));
    ASSERT_EQ(events.size(), 3U);
    EXPECT_EQ(events[0].keyData & (PreviouslyDown | Released), 0U);
    EXPECT_EQ(events[1].keyData & (PreviouslyDown | Released), PreviouslyDown);
    EXPECT_EQ(events[2].keyData & (PreviouslyDown | Released), PreviouslyDown | Released);
}

TEST_F(KeyEvents, SidedModifiersArePostedAsTheKeyMessagesNameThem) {
    sendKey(VK_RCONTROL, false, true);
    sendKey(VK_RCONTROL, true, true);
    sendKey(VK_LSHIFT, false);
    sendKey(VK_LSHIFT, true);

    const std::vector<Event> events = keyEvents(window.collect(4, 2s));
    ASSERT_EQ(events.size(), 4U);
    EXPECT_EQ(events[0].virtualKey, static_cast<std::uintptr_t>(VK_CONTROL));
    EXPECT_EQ(events[0].keyData & Extended, Extended);
    EXPECT_EQ(events[1].virtualKey, static_cast<std::uintptr_t>(VK_CONTROL));
    EXPECT_EQ(events[1].keyData & (Extended | Released), Extended | Released);
    EXPECT_EQ(events[2].virtualKey, static_cast<std::uintptr_t>(VK_SHIFT));
    EXPECT_EQ(events[2].keyData & Extended, 0U);
    EXPECT_EQ(events[3].virtualKey, static_cast<std::uintptr_t>(VK_SHIFT));
}

TEST_F(KeyEvents, NothingIsPostedOnceTheKeyboardHookIsTornDown) {
    library.keyboardDeinitializer();
    sendKey('C', false);
    sendKey('C', true);

    EXPECT_TRUE(keyEvents(window.collect(0, 300ms)).empty());
}

// The low-level event the system hands over, converted to a key message's key data.
TEST_F(KeyEvents, TheProcedureConvertsEveryFlagOfTheLowLevelEvent) {
    KBDLLHOOKSTRUCT event{};
    event.vkCode = VK_RMENU;
    event.scanCode = 0x38;
    event.flags = LLKHF_EXTENDED | LLKHF_ALTDOWN;
    library.keyboardProcedure(HC_ACTION, WM_SYSKEYDOWN, reinterpret_cast<LPARAM>(&event));
    event.flags = LLKHF_EXTENDED | LLKHF_UP;
    library.keyboardProcedure(HC_ACTION, WM_KEYUP, reinterpret_cast<LPARAM>(&event));

    const std::vector<Event> events = keyEvents(window.collect(2, 1s));
    ASSERT_EQ(events.size(), 2U);
    EXPECT_EQ(events[0].virtualKey, static_cast<std::uintptr_t>(VK_MENU));
    EXPECT_EQ(events[0].keyData, 0x20380001U | Extended);
    EXPECT_EQ(events[1].virtualKey, static_cast<std::uintptr_t>(VK_MENU));
    EXPECT_EQ(events[1].keyData, 0x00380001U | Extended | PreviouslyDown | Released);
}

TEST_F(KeyEvents, OnlyEventsHandedOverForActionArePosted) {
    KBDLLHOOKSTRUCT event{};
    event.vkCode = 'D';
    event.scanCode = scanCodeOf('D');
    library.keyboardProcedure(HC_NOREMOVE, WM_KEYDOWN, reinterpret_cast<LPARAM>(&event));
    // A negative code is passed on untouched: lParam is not even read.
    library.keyboardProcedure(-1, WM_KEYDOWN, 1);

    EXPECT_TRUE(keyEvents(window.collect(0, 200ms)).empty());
}

}  // namespace
}  // namespace pastrix::tests::hooklib
