#pragma once

#include "os/DialogTemplate.h"
#include "os/DialogView.h"

#include <optional>
#include <string>
#include <vector>

namespace os::common {

// What a control kind means whatever toolkit draws it: whether it takes the keyboard focus,
// what a click on it does, which key it reports and what its text is. The toolkits say how
// the kind is drawn and read; a new kind starts with its entry here.
struct ControlKindTraits {
    enum class Click {
        // Clicks do nothing the presenter hears of.
        Ignored,
        Reported,
        // The check toggles first, then the click is reported.
        Toggles,
        // Reported only with the cs::Notify style (a label that acts as a link).
        ReportedWithNotify,
    };

    bool takesFocus = true;
    Click click = Click::Ignored;
    // The key event the control reports while it has the focus, if any.
    std::optional<Notification> keyReport;
    // The text is the selected entry (drop-down lists).
    bool textIsSelection = false;

    static const ControlKindTraits& of(ControlKind kind);
    // Whether a click on a control of this kind and style reaches the presenter.
    bool reportsClicks(unsigned style) const;
};

// An event about one control.
DialogEvent controlEvent(Notification notification, int controlId, int value = 0);

// Where a new entry goes in a drop-down list: at the end, or in a sorted one before the
// first entry that sorts after it regardless of letter case (after its equals).
int entryPosition(const std::vector<std::string>& entries, const std::string& text, bool sorted);

}  // namespace os::common
