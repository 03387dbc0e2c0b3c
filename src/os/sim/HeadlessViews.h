#pragma once

#include "os/DialogView.h"
#include "os/Errors.h"
#include "os/common/ViewRoutes.h"
#include "os/sim/HeadlessView.h"
#include "os/sim/SimDialogs.h"
#include "os/sim/SimWindows.h"

#include <deque>
#include <functional>
#include <memory>
#include <vector>

namespace os::sim {

// The headless toolkit of the simulated desktop. Modal dialogs run synchronously: the test
// queues what the user does inside the next modal dialogs beforehand, and a dialog whose
// script is done (or that has none) is closed as with its close box.
class HeadlessViews final : public DialogViews {
public:
    using Script = std::function<void(HeadlessView&)>;

    struct ModalRun {
        int templateId = 0;
        int result = 0;
    };

    HeadlessViews(SimWindows& windows, SimDialogs& dialogs, Errors& errors);
    ~HeadlessViews() override;

    std::unique_ptr<DialogView> createView(const DialogTemplate& dialogTemplate,
                                           DialogEvents& events, WindowHandle parent) override;
    int runModal(const DialogTemplate& dialogTemplate, DialogEvents& events,
                 WindowHandle parent) override;
    int runSheet(const DialogTemplate& sheetTemplate, DialogEvents& events,
                 const std::vector<SheetPage>& pages, unsigned flags, WindowHandle parent) override;

    // What the user does in the next modal dialog that opens.
    void whenModal(Script script);
    // The modal dialogs that ran, in the order they closed.
    const std::vector<ModalRun>& modalRuns() const { return runs_; }
    // The newest open dialog or page made from the template, or nullptr.
    HeadlessView* find(int templateId) const;

    // Dialog units to pixels, for the dialog font's average character of 6 by 13 pixels.
    static Rect toPixels(int x, int y, int width, int height);

private:
    friend class HeadlessView;

    using Routes = common::ToolkitRoutes<HeadlessViews>;
    // The template's font, with the height in pixels on a 96 dots-per-inch screen.
    static FontStyle dialogFont(const DialogTemplate& dialogTemplate);

    std::unique_ptr<HeadlessView> make(const DialogTemplate& dialogTemplate, DialogEvents& events,
                                       WindowHandle parent, bool initialise = true);
    void initialise(HeadlessView& view);
    // Plays the queued script in a modal dialog or sheet and closes it; returns its result.
    int finishModal(std::unique_ptr<HeadlessView> view);
    void forget(HeadlessView* view, WindowHandle window);

    SimWindows& windows_;
    SimDialogs& dialogs_;
    Errors& errors_;
    std::deque<Script> scripts_;
    std::vector<ModalRun> runs_;
    std::vector<HeadlessView*> open_;
};

}  // namespace os::sim
