#include "os/common/ControlKindTraits.h"

#include <algorithm>
#include <cctype>

namespace os::common {

namespace {

using Click = ControlKindTraits::Click;

// Static texts, frames and pictures are looked at, never used.
constexpr ControlKindTraits Button{true, Click::Reported, std::nullopt, false};
constexpr ControlKindTraits CheckBox{true, Click::Toggles, std::nullopt, false};
constexpr ControlKindTraits GroupBox{false, Click::Ignored, std::nullopt, false};
constexpr ControlKindTraits Label{false, Click::ReportedWithNotify, std::nullopt, false};
constexpr ControlKindTraits Picture{false, Click::Ignored, std::nullopt, false};
constexpr ControlKindTraits Edit{true, Click::Ignored, Notification::KeyUp, false};
constexpr ControlKindTraits ListView{true, Click::Ignored, Notification::KeyDown, false};
constexpr ControlKindTraits DropDownList{true, Click::Ignored, std::nullopt, true};

std::string lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

}  // namespace

const ControlKindTraits& ControlKindTraits::of(ControlKind kind) {
    switch (kind) {
        case ControlKind::PushButton:
        case ControlKind::DefaultPushButton:
            return Button;
        case ControlKind::CheckBox:
            return CheckBox;
        case ControlKind::GroupBox:
            return GroupBox;
        case ControlKind::Label:
            return Label;
        case ControlKind::Picture:
            return Picture;
        case ControlKind::Edit:
            return Edit;
        case ControlKind::ListView:
            return ListView;
        case ControlKind::DropDownList:
            return DropDownList;
    }
    return Label;
}

bool ControlKindTraits::reportsClicks(unsigned style) const {
    return click == Click::Reported || click == Click::Toggles ||
           (click == Click::ReportedWithNotify && (style & cs::Notify) != 0);
}

DialogEvent controlEvent(Notification notification, int controlId, int value) {
    DialogEvent event;
    event.notification = notification;
    event.controlId = controlId;
    event.value = value;
    return event;
}

int entryPosition(const std::vector<std::string>& entries, const std::string& text, bool sorted) {
    auto position = entries.end();
    if (sorted) {
        const std::string key = lower(text);
        position = std::find_if(entries.begin(), entries.end(),
                                [&](const std::string& entry) { return lower(entry) > key; });
    }
    return static_cast<int>(position - entries.begin());
}

}  // namespace os::common
