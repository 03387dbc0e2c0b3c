#pragma once

#include "os/ScopedInstall.h"
#include "os/sim/HeadlessViews.h"
#include "support/HookStandIn.h"
#include "support/SimDesktopTest.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace testing_support {

// The file system of the simulated desktop, with the program's own file placed where the
// test says.
class ProgramFileSystem final : public os::FileSystem {
public:
    ProgramFileSystem(os::FileSystem& real, std::string programFile)
        : real_(real), programFile_(std::move(programFile)) {}

    char separator() const override { return real_.separator(); }
    bool getModuleFileName(std::string& path) const override;
    bool getCurrentDirectory(std::string& p) const override { return real_.getCurrentDirectory(p); }
    bool setCurrentDirectory(const std::string& p) override { return real_.setCurrentDirectory(p); }
    bool createDirectory(const std::string& p) override { return real_.createDirectory(p); }
    bool removeDirectory(const std::string& p) override { return real_.removeDirectory(p); }
    bool deleteFile(const std::string& p) override { return real_.deleteFile(p); }
    bool replaceFile(const std::string& s, const std::string& t) override {
        return real_.replaceFile(s, t);
    }
    bool getFileInformation(const std::string& p, os::FileInformation& i) const override {
        return real_.getFileInformation(p, i);
    }
    bool getFinalPathName(const std::string& p, std::string& r) const override {
        return real_.getFinalPathName(p, r);
    }
    os::FindHandle findFirstFile(const std::string& p, os::FindData& d) override {
        return real_.findFirstFile(p, d);
    }
    bool findNextFile(os::FindHandle h, os::FindData& d) override {
        return real_.findNextFile(h, d);
    }
    bool findClose(os::FindHandle h) override { return real_.findClose(h); }

private:
    os::FileSystem& real_;
    std::string programFile_;
};

// The whole program on the simulated desktop: a program directory made by the test (the
// built "config.cfg", the simulated hook library and the starter workspace), the program's
// own file in it, and the real start-up run against it. The user plays through the scripts
// of the modal dialogs; inside the settings window, `press` and friends make the user's
// events and give the window's loop its turn.
class ProgramRunTest : public SimDesktopTest {
protected:
    ProgramRunTest();
    ~ProgramRunTest() override;

    // Runs the program with the arguments after its path until it ends, as one process.
    void run(const std::string& arguments = "");
    // What the user does in the next modal dialog (the newsletter offer, the settings window).
    void whenModal(std::function<void(os::sim::HeadlessView&)> script);
    // The settings window: "Shutdown" is pressed when the script is done, unless the script
    // ended the run itself.
    void whileRunning(std::function<void(os::sim::HeadlessView& settingsWindow)> script);

    // Inside the settings window's script: one event of the user, then the loop's turn.
    void press(int virtualKey, bool down);
    // The trigger held while the key is tapped the number of times.
    void gesture(int trigger, int virtualKey, int taps);
    // Typed as the user would, Shift where the layout needs it.
    void type(const std::string& text);
    // The loop's turn.
    void pump();

    // pastrixctl on the program directory's files; returns its output, expects success.
    std::string pastrixctl(const std::vector<std::string>& arguments);
    // A value of the program's "config.cfg" as it is on disk now.
    std::string setting(const std::string& key);
    void changeSetting(const std::string& key, const std::string& value);

    // The texts of the error boxes shown so far.
    std::vector<std::string> errorBoxes() const;

    std::filesystem::path programDirectory;
    // Where the test program and the hook libraries it built are.
    std::filesystem::path testProgramDirectory;
    // The settings window while its script runs.
    os::sim::HeadlessView* runningSheet = nullptr;

private:
    std::unique_ptr<ProgramFileSystem> fileSystem;
    std::unique_ptr<os::ScopedInstall> installation;
    std::unique_ptr<HookStandIn> standIn;
};

}  // namespace testing_support
