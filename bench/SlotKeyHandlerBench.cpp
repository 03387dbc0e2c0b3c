// How long the slot key handler takes per hook event. Every key the user types passes
// through it on the user-interface thread, so it must stay far below a millisecond.
#include "config/tab/SlotKeyHandler.h"
#include "os/ScopedInstall.h"
#include "os/sim/SimDesktop.h"

#include <benchmark/benchmark.h>

namespace {

using products::pastrix::config::clipboard::Executer;
using products::pastrix::config::clipboard::SlotToolTip;
using products::pastrix::config::tab::SlotKeyHandler;
using products::pastrix::config::workspace::ActiveWorkspace;

struct IdleExecuter final : Executer {
    bool startCopy(int) override { return true; }
    bool startPaste(int) override { return true; }
    void finishCopy(int) override {}
    void finishPaste(int) override {}
};

struct QuietToolTip final : SlotToolTip {
    void show(int, int, bool) override {}
    void hide() override {}
};

struct OpenWorkspace final : ActiveWorkspace {
    bool isLoaded() const override { return true; }
};

// Ordinary typing: no gesture is held, every event is looked at and let go.
void BM_TypingWithoutGesture(benchmark::State& state) {
    os::sim::SimDesktop desktop;
    os::ScopedInstall installation(desktop.port());
    IdleExecuter executer;
    QuietToolTip toolTip;
    OpenWorkspace workspace;
    SlotKeyHandler handler(executer, workspace, true, {0x5B, 0x5C, 0x2C, 0x91});
    handler.attachToolTip(&toolTip);
    int key = 'A';
    for (auto _ : state) {
        handler.onKeyEvent(key, true);
        handler.onKeyEvent(key, false);
        key = key == 'Z' ? 'A' : key + 1;
    }
    state.SetItemsProcessed(state.iterations() * 2);
}
BENCHMARK(BM_TypingWithoutGesture);

// A whole paste gesture: Ctrl down, K down and up, Ctrl up, and the echo that ends it.
void BM_PasteGesture(benchmark::State& state) {
    os::sim::SimDesktop desktop;
    os::ScopedInstall installation(desktop.port());
    IdleExecuter executer;
    QuietToolTip toolTip;
    OpenWorkspace workspace;
    SlotKeyHandler handler(executer, workspace, true, {});
    handler.attachToolTip(&toolTip);
    for (auto _ : state) {
        desktop.keyboard.setKeyDown(0x11, true);
        handler.onKeyEvent(0x11, true);
        handler.onKeyEvent('K', true);
        handler.onKeyEvent('K', false);
        desktop.keyboard.setKeyDown(0x11, false);
        handler.onKeyEvent(0x11, false);
        handler.onKeyEvent(0x11, false);
    }
    state.SetItemsProcessed(state.iterations() * 5);
}
BENCHMARK(BM_PasteGesture);

}  // namespace
