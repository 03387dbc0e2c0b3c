// The Qt tests need the application object before any widget exists; without a display
// they draw into memory.

#include <QApplication>
#include <cstdlib>

#include <gtest/gtest.h>

// Qt is not built with ThreadSanitizer, so the hand-overs of its own thread pool (image
// encoding, font loading) are invisible to it and the memory those threads free looks racy.
// Only what Qt's libraries do through the intercepted calls is left out; every access of the
// program's own code is still checked. Builds without ThreadSanitizer never call this.
extern "C" const char* __tsan_default_suppressions() {
    return "called_from_lib:libQt6Core.so.6\n"
           "called_from_lib:libQt6Gui.so.6\n"
           "called_from_lib:libQt6Widgets.so.6\n";
}

int main(int argc, char** argv) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    ::testing::InitGoogleTest(&argc, argv);
    QApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
