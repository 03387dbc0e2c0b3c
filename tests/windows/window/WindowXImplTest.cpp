#include "os/ErrorCodes.h"
#include "support/PlatformText.h"
#include "support/SimDesktopTest.h"
#include "windows/window/MessageMapper.h"
#include "windows/window/WindowExceptions.h"
#include "windows/window/WindowTitle.h"
#include "windows/window/WindowXImpl.h"

#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

using testing::StartsWith;
using testing_support::systemText;
using windows::window::MessageListener;
using windows::window::MessageMapper;
using windows::window::WindowXException;
using windows::window::WindowXImpl;

class RecordingListener final : public MessageListener {
public:
    std::intptr_t handleMessage(os::WindowHandle, unsigned int message, std::uintptr_t wParam,
                                std::intptr_t) override {
        messages.push_back(message);
        return static_cast<std::intptr_t>(wParam) + 1;
    }
    std::vector<unsigned int> messages;
};

class WindowXImplTest : public testing_support::SimDesktopAssertionTest {
protected:
    static os::WindowClass windowClass(const std::string& name) {
        os::WindowClass description;
        description.className = name;
        description.instance = 0x400000;
        return description;
    }
};

TEST_F(WindowXImplTest, TopLevelWindowsAreCentredAndChildWindowsAtTheOrigin) {
    desktop.systemInfo.setScreenSize(1025, 769);
    WindowXImpl centred(windowClass("Centred"), 201, 101, 0, 0, "Title", 0, true);
    os::Rect rect;
    ASSERT_TRUE(desktop.windows.getWindowRect(centred.getHandle(), rect));
    EXPECT_EQ(rect.left, 412);  // (1025 - 201) / 2
    EXPECT_EQ(rect.top, 334);   // (769 - 101) / 2, rounded down
    EXPECT_EQ(centred.getWidth(), 201);
    EXPECT_EQ(centred.getHeight(), 101);

    WindowXImpl child(windowClass("Child"), 50, 20, os::ws::Child, 0, "", centred.getHandle(),
                      true);
    ASSERT_TRUE(desktop.windows.getWindowRect(child.getHandle(), rect));
    EXPECT_EQ(rect.left, 0);
    EXPECT_EQ(rect.top, 0);
}

TEST_F(WindowXImplTest, WindowAndClassLiveExactlyAsLongAsTheObject) {
    os::WindowHandle handle = 0;
    {
        WindowXImpl window(windowClass("Owned"), 10, 10, 0, 0, "", 0, true);
        handle = window.getHandle();
        EXPECT_TRUE(desktop.windows.isWindow(handle));
        EXPECT_EQ(desktop.windows.findWindow("Owned"), handle);
    }
    EXPECT_FALSE(desktop.windows.isWindow(handle));
    EXPECT_FALSE(desktop.windows.isClassRegistered("Owned"));
}

TEST_F(WindowXImplTest, SecondRegistrationOfAClassFailsAndLeavesTheFirstAlone) {
    WindowXImpl first(windowClass("Shared"), 10, 10, 0, 0, "", 0, true);
    try {
        WindowXImpl second(windowClass("Shared"), 10, 10, 0, 0, "", 0, true);
        FAIL() << "no exception";
    } catch (const WindowXException& e) {
        EXPECT_EQ(e.getMessage(),
                  "Error when registering the window class 'Shared'.\nSystem error message: " +
                      systemText(os::error::ClassAlreadyExists));
    }
    EXPECT_TRUE(desktop.windows.isClassRegistered("Shared"));
    EXPECT_TRUE(desktop.windows.isWindow(first.getHandle()));

    // Without registering, a second window of the same class is fine.
    WindowXImpl third(windowClass("Shared"), 10, 10, 0, 0, "", 0, false);
    EXPECT_TRUE(desktop.windows.isWindow(third.getHandle()));
}

TEST_F(WindowXImplTest, FailedCreationLeavesNoClassBehind) {
    try {
        WindowXImpl orphan(windowClass("Orphan"), 10, 10, os::ws::Child, 0, "", 0xDEAD0, true);
        FAIL() << "no exception";
    } catch (const WindowXException& e) {
        EXPECT_EQ(e.getMessage(),
                  "Error when creating a window.\nClassname: 'Orphan'\nSystem error message: " +
                      systemText(os::error::InvalidWindowHandle));
    }
    EXPECT_FALSE(desktop.windows.isClassRegistered("Orphan"));
}

TEST_F(WindowXImplTest, MessagesReachTheListenerOnceRoutedAndDefaultHandlingBefore) {
    WindowXImpl window(windowClass("Routed"), 10, 10, 0, 0, "", 0, true);
    EXPECT_EQ(window.pumpMessages(), 0);  // an empty queue returns at once

    RecordingListener listener;
    desktop.windows.postMessage(window.getHandle(), os::wm::User, 41, 0);
    EXPECT_EQ(window.pumpMessages(), 0);  // not routed yet: the default handling
    window.registerListener(&listener);
    desktop.windows.postMessage(window.getHandle(), os::wm::User, 41, 0);
    desktop.windows.postMessage(window.getHandle(), os::wm::User + 1, 1, 0);
    EXPECT_EQ(window.pumpMessages(), 42);  // one message per call
    EXPECT_EQ(listener.messages, std::vector<unsigned int>{os::wm::User});
    EXPECT_EQ(window.pumpMessages(), 2);
    window.unregisterListener();
    EXPECT_FALSE(MessageMapper::instance().exists(window.getHandle()));
    EXPECT_TRUE(assertions.reports.empty());
}

TEST_F(WindowXImplTest, MapperReportsMisuse) {
    WindowXImpl window(windowClass("Misused"), 10, 10, 0, 0, "", 0, true);
    RecordingListener listener;
    MessageMapper& mapper = MessageMapper::instance();
    mapper.add(window.getHandle(), &listener);
    mapper.add(window.getHandle(), &listener);
    EXPECT_TRUE(assertions.reported("exists(windowHandle) == false"));
    mapper.remove(window.getHandle());
    mapper.remove(window.getHandle());
    EXPECT_TRUE(assertions.reported("exists(windowHandle)"));
    mapper.add(0, &listener);
    EXPECT_TRUE(assertions.reported("windowHandle != 0"));
    mapper.add(window.getHandle(), nullptr);
    EXPECT_EQ(mapper.dispatch(window.getHandle(), os::wm::User, 0, 0), 0);
    EXPECT_TRUE(assertions.reported("ml"));
    mapper.remove(window.getHandle());
}

TEST_F(WindowXImplTest, ShowBringsToFrontAndHideHides) {
    WindowXImpl window(windowClass("Shown"), 10, 10, 0, 0, "", 0, true);
    EXPECT_FALSE(window.isVisible());
    window.show(true);
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(desktop.windows.getForegroundWindow(), window.getHandle());
    window.show(false);
    EXPECT_FALSE(window.isVisible());
}

TEST_F(WindowXImplTest, TitleQueryTellsEmptyTitlesFromVanishedWindows) {
    namespace w = windows::window;
    const os::WindowHandle editor = desktop.windows.addWindow("notes.txt - Editor");
    const os::WindowHandle untitled = desktop.windows.addWindow("");
    desktop.windows.setWindowTitle(editor, std::string(2000, 'T'));
    EXPECT_EQ(w::getWindowTitle(editor, false), std::string(1023, 'T'));
    EXPECT_EQ(w::getWindowTitle(untitled, false), "");

    desktop.windows.destroyWindow(editor);
    EXPECT_EQ(w::getWindowTitle(editor, true), "");
    try {
        w::getWindowTitle(editor, false);
        FAIL() << "no exception";
    } catch (const w::CouldNotGetWindowTitleException& e) {
        EXPECT_EQ(e.getMessage(),
                  "Couldn't get the window text using the 'GetWindowText()' call. The window "
                  "handle 00010010. System error message: " +
                      systemText(os::error::InvalidWindowHandle) +
                      " Ignoring invalid window handle is disabled");
    }
}

}  // namespace
