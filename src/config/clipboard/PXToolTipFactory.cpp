#include "config/clipboard/PXToolTipFactory.h"

#include "config/clipboard/PXToolTip.h"

namespace products::pastrix::config::clipboard {

PXToolTipFactory::PXToolTipFactory(workspace::Workspace& slots, bool use)
    : workspace(slots), useToolTip(use) {}

std::unique_ptr<windows::window::WindowX> PXToolTipFactory::create() {
    return std::make_unique<PXToolTip>(workspace, className, parent, useToolTip);
}

}  // namespace products::pastrix::config::clipboard
