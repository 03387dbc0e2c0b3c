#pragma once

#include "os/Errors.h"
#include "os/Hooks.h"
#include "os/sim/SimInput.h"
#include "os/sim/SimKeyboard.h"
#include "os/sim/SimWindows.h"

#include <array>
#include <cstddef>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace os::sim {

// Desktop-wide keyboard and mouse hooks over the simulated input stream. Every event of the
// stream, the user's and the synthesised alike, runs through the chain of its type, newest
// hook first, on the thread that delivers the event; each procedure passes it on with
// callNextHookEx. The keyboard chain gets the key data the system makes; the mouse chain
// sees the left button.
class SimHooks final : public Hooks {
public:
    SimHooks(Errors& errors, SimInput& input, SimKeyboard& keyboard, SimWindows& windows);
    ~SimHooks() override;
    SimHooks(const SimHooks&) = delete;
    SimHooks& operator=(const SimHooks&) = delete;

    HookHandle setWindowsHookEx(int type, HookProcedure procedure, ModuleHandle module,
                                ThreadId thread) override;
    bool unhookWindowsHookEx(HookHandle hook) override;
    std::intptr_t callNextHookEx(HookHandle hook, int code, std::uintptr_t wParam,
                                 std::intptr_t lParam) override;

    // What the test plays: a desktop that refuses to install, or to remove, hooks with the
    // given error code; 0 lets it work again.
    void failInstallations(int errorCode);
    void failRemovals(int errorCode);
    // How many hooks of the type are installed.
    std::size_t installedHooks(int type) const;

    // The memory behind SimSharedSection.
    void* sharedSection(const std::string& name, std::size_t size);

private:
    struct Hook {
        HookHandle handle = 0;
        int type = 0;
        HookProcedure procedure = nullptr;
    };

    struct Section {
        // Allocated memory is aligned for any fundamental type.
        std::unique_ptr<std::byte[]> memory;
        std::size_t size = 0;
    };

    void onKey(const InputEvent& event);
    void onLeftButton(bool pressed);
    // Runs the event through the chain of the type.
    void dispatch(int type, std::uintptr_t wParam, std::intptr_t lParam);
    // The procedure after `hook` in its chain, or the chain's first for hook 0.
    HookProcedure next(int type, HookHandle hook) const;

    Errors& errors_;
    SimInput& input_;
    SimKeyboard& keyboard_;
    SimWindows& windows_;
    // Held while procedures run, so that a removal waits for a procedure running on another
    // thread; the thread that runs them may remove hooks itself.
    std::recursive_mutex running_;
    mutable std::mutex mutex_;
    std::vector<Hook> hooks_;  // newest first
    HookHandle nextHandle_ = 0x20004;
    int installationFailure_ = 0;
    int removalFailure_ = 0;
    // Keys as the hooks saw them, for the previous-state bit.
    std::array<bool, 256> down_{};
    std::map<std::string, Section> sections_;
    int keyWatcher_ = 0;
    int buttonWatcher_ = 0;
};

}  // namespace os::sim
