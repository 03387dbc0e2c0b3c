#include "config/clipboard/PXToolTip.h"

#include "config/workspace/SlotDescription.h"
#include "os/Port.h"
#include "platform/assertion/Assertion.h"

namespace products::pastrix::config::clipboard {

PXToolTip::PXToolTip(workspace::Workspace& slots, const std::string& windowClassName,
                     os::WindowHandle parent, bool use)
    : ToolTip(windowClassName, parent), workspace(slots), useToolTip(use) {}

PXToolTip::~PXToolTip() = default;

std::string PXToolTip::preview(const std::string& text) {
    if (text.empty()) {
        return "[Empty]";
    }
    std::string kept = text.substr(0, 75);
    const std::size_t carriageReturn = kept.find('\r');
    if (carriageReturn != std::string::npos) {
        kept.erase(carriageReturn);
    }
    if (kept.size() < text.size()) {
        kept += "...";
    }
    return kept;
}

std::string PXToolTip::textFor(int key, int kind) const {
    std::string shown;
    if (kind == 1) {
        shown = "Copy over ";
    } else if (kind == 3) {
        shown = "Paste from ";
    } else {
        PX_ASSERT(false);
    }
    const bool isSlot = key >= 0 && static_cast<std::size_t>(key) < workspace::Workspace::SlotCount;
    const auto* slot =
        isSlot ? workspace.getClipboards()[static_cast<std::size_t>(key)].get() : nullptr;
    if (slot != nullptr) {
        shown +=
            "[" + workspace::SlotDescription::dataTypes(slot->getDataTypes()) + "] : " +
            (slot->isSecret() ? workspace::SlotDescription::SecretText : preview(slot->getText()));
    } else {
        shown += "[EMPTY]";
    }
    return shown;
}

void PXToolTip::show(int key, int kind, bool atCursor) {
    if (!useToolTip) {
        return;
    }
    os::Point position;
    if (atCursor) {
        os::windows().getCursorPos(position);
        position.y += 20;
    } else {
        os::Rect rect;
        if (os::windows().getWindowRect(os::windows().getForegroundWindow(), rect)) {
            position = os::Point{rect.left + 6, rect.top + 6};
        }
    }
    const std::string shown = textFor(key, kind);
    // Hidden first, so the whole window is painted again even when its size stays the same.
    hide();
    showText(shown, position.x, position.y);
}

void PXToolTip::hide() {
    ToolTip::hide();
}

}  // namespace products::pastrix::config::clipboard
