#pragma once

#include <string>
#include <vector>

namespace os {

// The kinds of control a dialog template can hold.
enum class ControlKind {
    PushButton,
    DefaultPushButton,
    // A check box that toggles itself when clicked.
    CheckBox,
    GroupBox,
    // Static text.
    Label,
    // A static bitmap.
    Picture,
    Edit,
    // A list view in report style: rows of texts, one per column.
    ListView,
    // A combo box whose entries can only be picked, not typed.
    DropDownList,
};

// Control styles beyond what the kind implies.
namespace cs {
inline constexpr unsigned Hidden = 0x0001;
inline constexpr unsigned Disabled = 0x0002;
// A label that reports clicks.
inline constexpr unsigned Notify = 0x0004;
inline constexpr unsigned MultiLine = 0x0008;
inline constexpr unsigned AutoHScroll = 0x0010;
inline constexpr unsigned AutoVScroll = 0x0020;
inline constexpr unsigned VScroll = 0x0040;
// A drop-down list that keeps its entries in alphabetical order.
inline constexpr unsigned Sorted = 0x0080;
inline constexpr unsigned Border = 0x0100;
// A multi-line edit box that takes Enter as a line break instead of pressing the default
// button.
inline constexpr unsigned WantReturn = 0x0200;
}  // namespace cs

// Dialog styles.
namespace ds {
// A page of a property sheet: a child window without frame or caption of its own.
inline constexpr unsigned Page = 0x0001;
inline constexpr unsigned Caption = 0x0002;
inline constexpr unsigned SystemMenu = 0x0004;
// A sizing border: the user can resize the dialog.
inline constexpr unsigned Resizable = 0x0008;
}  // namespace ds

// The id of controls the program never addresses (labels and group boxes).
inline constexpr int NoControlId = -1;

// One control of a dialog. Positions are in dialog units, relative to the client area: a
// horizontal unit is a quarter of the dialog font's average character width, a vertical
// one an eighth of its height.
struct ControlTemplate {
    int id = NoControlId;
    ControlKind kind = ControlKind::Label;
    std::string text;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    unsigned style = 0;
    // Shown while the mouse rests on the control, when the dialog has tooltips on.
    std::string tip;
};

// A dialog or property page as data: every toolkit lays it out from this.
struct DialogTemplate {
    int id = 0;
    std::string caption;
    int width = 0;
    int height = 0;
    unsigned style = 0;
    std::string fontName = "MS Shell Dlg";
    int fontPointSize = 8;
    std::vector<ControlTemplate> controls;

    // The control with the id, or nullptr.
    const ControlTemplate* control(int controlId) const {
        for (const ControlTemplate& candidate : controls) {
            if (candidate.id == controlId && controlId != NoControlId) {
                return &candidate;
            }
        }
        return nullptr;
    }
};

}  // namespace os
