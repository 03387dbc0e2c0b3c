#include "support/ProgramRun.h"

#include "Command.h"
#include "config/Pastrix.h"
#include "config/tab/DialogTemplates.h"
#include "os/Dialogs.h"
#include "os/Keyboard.h"
#include "os/Port.h"
#include "support/ProgramDirectory.h"
#include "windows/dll/Dll.h"
#include "windows/hook/HookLibrary.h"

#include <sstream>

#include <gtest/gtest.h>

namespace testing_support {

namespace sheetIds = products::pastrix::config::tab::templates::sheet;

bool ProgramFileSystem::getModuleFileName(std::string& path) const {
    path = programFile_;
    return true;
}

ProgramRunTest::ProgramRunTest()
    : programDirectory(directory / "Pastrix"),
      testProgramDirectory(testing_support::programDirectory()) {
    std::filesystem::create_directories(programDirectory / "Default");
    std::filesystem::copy_file(std::filesystem::path(PASTRIX_PROGRAM_DIR) / "config.cfg",
                               programDirectory / "config.cfg");
    std::filesystem::copy_file(testProgramDirectory / windows::hook::LibraryFileName,
                               programDirectory / windows::hook::LibraryFileName);
    fileSystem = std::make_unique<ProgramFileSystem>(desktop.fileSystem,
                                                     (programDirectory / "pastrix").string());
    os::Port port = desktop.port();
    port.fileSystem = fileSystem.get();
    installation = std::make_unique<os::ScopedInstall>(port);
    // The library posts the hooks' messages to the System page's window; the stand-in keeps
    // the key state of each event for the loop.
    standIn = std::make_unique<HookStandIn>(desktop, 0, HookStandIn::Messages::PostedByLibrary);
    desktop.systemInfo.setCommandLine((programDirectory / "pastrix").string());
    // The newsletter offer stays away unless a test asks for it.
    changeSetting("util.newsletter.SimpleSignUp.askForEmailAddress", "false");
}

ProgramRunTest::~ProgramRunTest() {
    standIn.reset();
    installation.reset();
}

void ProgramRunTest::run(const std::string& arguments) {
    desktop.systemInfo.setCommandLine((programDirectory / "pastrix").string() +
                                      (arguments.empty() ? "" : " " + arguments));
    products::pastrix::config::Pastrix::run();
    runningSheet = nullptr;
    // The process ends here, and with it its copies of the hook library: the registered
    // thread, which the program never clears, goes with the library's shared data. Hooks
    // left set up would stay, as on a desktop where other processes still hold the library.
    const windows::dll::Dll library(
        (testProgramDirectory / windows::hook::LibraryFileName).string());
    reinterpret_cast<windows::hook::SetAttachThreadInputIdFunction>(
        library.getProc(windows::hook::entry::SetAttachThreadInputId))(0);
}

void ProgramRunTest::whenModal(std::function<void(os::sim::HeadlessView&)> script) {
    desktop.views.whenModal(std::move(script));
}

void ProgramRunTest::whileRunning(
    std::function<void(os::sim::HeadlessView& settingsWindow)> script) {
    desktop.views.whenModal([this, script](os::sim::HeadlessView& view) {
        EXPECT_EQ(view.templateId(), sheetIds::Dialog);
        runningSheet = &view;
        pump();
        script(view);
        if (!view.hasEnded()) {
            EXPECT_TRUE(view.click(sheetIds::Cancel)) << "Shutdown";
        }
        runningSheet = nullptr;
    });
}

void ProgramRunTest::pump() {
    ASSERT_NE(runningSheet, nullptr) << "only while the settings window runs";
    runningSheet->pumpMessages(
        [this](const std::optional<os::Message>& message) { standIn->handling(message); });
}

void ProgramRunTest::press(int virtualKey, bool down) {
    if (virtualKey == os::vk::LButton) {
        desktop.input.userLeftButton(down);
    } else {
        desktop.input.userKey(virtualKey, down);
    }
    pump();
}

void ProgramRunTest::gesture(int trigger, int virtualKey, int taps) {
    press(trigger, true);
    for (int i = 0; i < taps; ++i) {
        press(virtualKey, true);
        press(virtualKey, false);
    }
    press(trigger, false);
}

void ProgramRunTest::type(const std::string& text) {
    for (const char character : text) {
        const auto scan = static_cast<unsigned short>(desktop.keyboard.vkKeyScan(character));
        const bool shift = (scan >> 8 & os::vkscan::Shift) != 0;
        if (shift) {
            press(os::vk::LShift, true);
        }
        press(scan & 0xFF, true);
        press(scan & 0xFF, false);
        if (shift) {
            press(os::vk::LShift, false);
        }
    }
}

std::string ProgramRunTest::pastrixctl(const std::vector<std::string>& arguments) {
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(pastrixctl::runCommandLine(arguments, out, err), 0) << err.str();
    return out.str();
}

std::string ProgramRunTest::setting(const std::string& key) {
    std::string value =
        pastrixctl({"config", "get", (programDirectory / "config.cfg").string(), key});
    if (!value.empty() && value.back() == '\n') {
        value.pop_back();
    }
    return value;
}

void ProgramRunTest::changeSetting(const std::string& key, const std::string& value) {
    pastrixctl({"config", "set", (programDirectory / "config.cfg").string(), key, value});
}

std::vector<std::string> ProgramRunTest::errorBoxes() const {
    std::vector<std::string> texts;
    for (const auto& box : desktop.dialogs.shown()) {
        if (box.caption == "Pastrix Error") {
            texts.push_back(box.text);
        }
    }
    return texts;
}

}  // namespace testing_support
