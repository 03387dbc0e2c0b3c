#include "os/sim/HeadlessViews.h"

#include "os/Dialogs.h"
#include "os/ErrorCodes.h"
#include "os/common/DialogUnits.h"

#include <algorithm>

namespace os::sim {

namespace {

const char* const ViewClassName = "PastrixHeadlessDialog";

// The average character of the dialog font, in pixels: what dialog units are made of.
constexpr int BaseUnitX = 6;
constexpr int BaseUnitY = 13;

}  // namespace

Rect HeadlessViews::toPixels(int x, int y, int width, int height) {
    return common::DialogUnits(BaseUnitX, BaseUnitY).toPixels(x, y, width, height);
}

FontStyle HeadlessViews::dialogFont(const DialogTemplate& dialogTemplate) {
    return FontStyle{dialogTemplate.fontName,
                     -common::DialogUnits::mulDiv(dialogTemplate.fontPointSize, 96, 72), 400,
                     false};
}

HeadlessViews::HeadlessViews(SimWindows& windows, SimDialogs& dialogs, Errors& errors)
    : windows_(windows), dialogs_(dialogs), errors_(errors) {}

HeadlessViews::~HeadlessViews() = default;

std::unique_ptr<HeadlessView> HeadlessViews::make(const DialogTemplate& dialogTemplate,
                                                  DialogEvents& events, WindowHandle parent,
                                                  bool initialise) {
    if (!windows_.isClassRegistered(ViewClassName)) {
        WindowClass windowClass;
        windowClass.procedure = &Routes::procedure;
        windowClass.className = ViewClassName;
        if (!windows_.registerClass(windowClass)) {
            return nullptr;
        }
    }
    const Rect size = toPixels(0, 0, dialogTemplate.width, dialogTemplate.height);
    WindowCreation creation;
    creation.className = ViewClassName;
    creation.title = dialogTemplate.caption;
    creation.style = (dialogTemplate.style & ds::Page) != 0 ? ws::Child : ws::Popup;
    creation.width = size.right;
    creation.height = size.bottom;
    creation.parent = parent;
    const WindowHandle window = windows_.createWindow(creation);
    if (window == 0) {
        return nullptr;
    }
    auto view = std::make_unique<HeadlessView>(*this, dialogTemplate, events, window);
    open_.push_back(view.get());
    if (initialise) {
        this->initialise(*view);
    }
    return view;
}

void HeadlessViews::initialise(HeadlessView& view) {
    view.events_.attachView(&view);
    DialogEvent init;
    init.notification = Notification::InitDialog;
    if (view.deliver(init) != 0 && view.focus() == 0) {
        for (const ControlTemplate& control : view.template_.controls) {
            if (control.id != NoControlId && view.setFocus(control.id)) {
                break;
            }
        }
    }
}

void HeadlessViews::forget(HeadlessView* view, WindowHandle window) {
    open_.erase(std::remove(open_.begin(), open_.end(), view), open_.end());
    windows_.destroyWindow(window);
}

std::unique_ptr<DialogView> HeadlessViews::createView(const DialogTemplate& dialogTemplate,
                                                      DialogEvents& events, WindowHandle parent) {
    return make(dialogTemplate, events, parent);
}

int HeadlessViews::runModal(const DialogTemplate& dialogTemplate, DialogEvents& events,
                            WindowHandle parent) {
    std::unique_ptr<HeadlessView> view = make(dialogTemplate, events, parent);
    if (!view) {
        return -1;
    }
    return finishModal(std::move(view));
}

int HeadlessViews::runSheet(const DialogTemplate& sheetTemplate, DialogEvents& events,
                            const std::vector<SheetPage>& pages, unsigned flags,
                            WindowHandle parent) {
    std::unique_ptr<HeadlessView> sheet = make(sheetTemplate, events, parent, false);
    if (!sheet) {
        return -1;
    }
    sheet->sheetFlags_ = flags;
    // The pages are children of the sheet; the first is made and selected before the sheet
    // itself is initialised, the others when the user first selects them, as with the
    // system's sheet. Here all are made at once: their presenters cannot tell the difference.
    for (const SheetPage& page : pages) {
        if (page.dialogTemplate == nullptr || page.events == nullptr) {
            continue;
        }
        std::unique_ptr<HeadlessView> made =
            make(*page.dialogTemplate, *page.events, sheet->getHandle());
        if (!made) {
            return -1;
        }
        sheet->pages_.push_back(std::move(made));
    }
    if (!sheet->pages_.empty()) {
        sheet->selectTab(0);
    }
    windows_.showWindow(sheet->getHandle(), sw::Show);
    initialise(*sheet);
    return finishModal(std::move(sheet));
}

int HeadlessViews::finishModal(std::unique_ptr<HeadlessView> view) {
    const int templateId = view->templateId();
    if (!scripts_.empty()) {
        const Script script = std::move(scripts_.front());
        scripts_.pop_front();
        script(*view);
    }
    if (!view->hasEnded()) {
        view->close();
    }
    // A dialog that refuses its close box still goes when the test is done with it.
    view->endDialog(id::Cancel);
    const int result = view->result();
    view.reset();
    runs_.push_back(ModalRun{templateId, result});
    return result;
}

void HeadlessViews::whenModal(Script script) {
    scripts_.push_back(std::move(script));
}

HeadlessView* HeadlessViews::find(int templateId) const {
    for (auto view = open_.rbegin(); view != open_.rend(); ++view) {
        if ((*view)->templateId() == templateId) {
            return *view;
        }
    }
    return nullptr;
}

}  // namespace os::sim
