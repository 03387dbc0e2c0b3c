#include "os/win32/Win32DialogTemplate.h"

// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

namespace os::win32 {

namespace {

// The predefined classes a dialog item may name by atom instead of by name.
constexpr std::uint16_t ButtonAtom = 0x0080;
constexpr std::uint16_t EditAtom = 0x0081;
constexpr std::uint16_t StaticAtom = 0x0082;
constexpr std::uint16_t ComboBoxAtom = 0x0085;

bool has(unsigned style, unsigned bit) {
    return (style & bit) != 0;
}

}  // namespace

Win32DialogTemplate::Win32DialogTemplate(const DialogTemplate& dialogTemplate, bool page) {
    // DLGTEMPLATE: style, extended style, item count, position and size.
    dword(dialogStyle(dialogTemplate, page));
    dword(page ? 0U : static_cast<std::uint32_t>(WS_EX_CONTROLPARENT));
    word(static_cast<std::uint16_t>(dialogTemplate.controls.size()));
    word(0);
    word(0);
    word(static_cast<std::uint16_t>(dialogTemplate.width));
    word(static_cast<std::uint16_t>(dialogTemplate.height));
    // No menu, the default dialog class, the caption, then the font (DS_SETFONT).
    word(0);
    word(0);
    text(dialogTemplate.caption);
    word(static_cast<std::uint16_t>(dialogTemplate.fontPointSize));
    text(dialogTemplate.fontName);
    for (const ControlTemplate& item : dialogTemplate.controls) {
        control(item);
    }
}

unsigned Win32DialogTemplate::dialogStyle(const DialogTemplate& dialogTemplate, bool page) {
    unsigned style = DS_SETFONT | DS_3DLOOK;
    if (page) {
        // The property sheet makes pages children of itself.
        return style | WS_CHILD | WS_CAPTION | WS_DISABLED | DS_CONTROL;
    }
    style |= WS_POPUP | DS_MODALFRAME | DS_CENTER;
    if (has(dialogTemplate.style, ds::Caption)) {
        style |= WS_CAPTION;
    }
    if (has(dialogTemplate.style, ds::SystemMenu)) {
        style |= WS_SYSMENU;
    }
    if (has(dialogTemplate.style, ds::Resizable)) {
        style = (style & ~static_cast<unsigned>(DS_MODALFRAME)) | WS_THICKFRAME;
    }
    return style;
}

unsigned Win32DialogTemplate::controlStyle(const ControlTemplate& control) {
    unsigned style = WS_CHILD;
    if (!has(control.style, cs::Hidden)) {
        style |= WS_VISIBLE;
    }
    if (has(control.style, cs::Disabled)) {
        style |= WS_DISABLED;
    }
    if (has(control.style, cs::Border)) {
        style |= WS_BORDER;
    }
    if (has(control.style, cs::VScroll)) {
        style |= WS_VSCROLL;
    }
    switch (control.kind) {
        case ControlKind::PushButton:
            return style | BS_PUSHBUTTON | WS_TABSTOP;
        case ControlKind::DefaultPushButton:
            return style | BS_DEFPUSHBUTTON | WS_TABSTOP;
        case ControlKind::CheckBox:
            return style | BS_AUTOCHECKBOX | WS_TABSTOP;
        case ControlKind::GroupBox:
            return style | BS_GROUPBOX;
        case ControlKind::Label:
            return style | SS_LEFT | (has(control.style, cs::Notify) ? SS_NOTIFY : 0U);
        case ControlKind::Picture:
            return style | SS_BITMAP | SS_CENTERIMAGE;
        case ControlKind::Edit:
            style |= WS_TABSTOP;
            if (has(control.style, cs::MultiLine)) {
                style |= ES_MULTILINE;
            }
            if (has(control.style, cs::AutoHScroll)) {
                style |= ES_AUTOHSCROLL;
            }
            if (has(control.style, cs::AutoVScroll)) {
                style |= ES_AUTOVSCROLL;
            }
            if (has(control.style, cs::WantReturn)) {
                style |= ES_WANTRETURN;
            }
            return style;
        case ControlKind::ListView:
            return style | LVS_REPORT | LVS_SHOWSELALWAYS | WS_TABSTOP;
        case ControlKind::DropDownList:
            return style | CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP |
                   (has(control.style, cs::Sorted) ? CBS_SORT : 0U);
    }
    return style;
}

unsigned Win32DialogTemplate::controlExtendedStyle(const ControlTemplate& control) {
    // Edit boxes and lists are sunk into the dialog, as everywhere on the system.
    if (control.kind == ControlKind::Edit || control.kind == ControlKind::ListView) {
        return WS_EX_CLIENTEDGE;
    }
    return 0;
}

void Win32DialogTemplate::control(const ControlTemplate& item) {
    alignToDword();
    // DLGITEMTEMPLATE: style, extended style, position, size, id.
    dword(controlStyle(item));
    dword(controlExtendedStyle(item));
    word(static_cast<std::uint16_t>(item.x));
    word(static_cast<std::uint16_t>(item.y));
    word(static_cast<std::uint16_t>(item.width));
    word(static_cast<std::uint16_t>(item.height));
    word(static_cast<std::uint16_t>(item.id));
    std::uint16_t atom = 0;
    switch (item.kind) {
        case ControlKind::PushButton:
        case ControlKind::DefaultPushButton:
        case ControlKind::CheckBox:
        case ControlKind::GroupBox:
            atom = ButtonAtom;
            break;
        case ControlKind::Label:
        case ControlKind::Picture:
            atom = StaticAtom;
            break;
        case ControlKind::Edit:
            atom = EditAtom;
            break;
        case ControlKind::DropDownList:
            atom = ComboBoxAtom;
            break;
        case ControlKind::ListView:
            break;
    }
    if (atom != 0) {
        word(0xFFFF);
        word(atom);
    } else {
        text(ListViewClass);
    }
    // A picture's text names its image, which the view sets once the control exists.
    text(item.kind == ControlKind::Picture ? std::string() : item.text);
    // No creation data.
    word(0);
}

void Win32DialogTemplate::dword(std::uint32_t value) {
    word(static_cast<std::uint16_t>(value & 0xFFFFU));
    word(static_cast<std::uint16_t>(value >> 16U));
}

void Win32DialogTemplate::text(const std::string& value) {
    if (!value.empty()) {
        const int length = MultiByteToWideChar(CP_ACP, 0, value.data(),
                                               static_cast<int>(value.size()), nullptr, 0);
        std::wstring wide(static_cast<std::size_t>(length), L'\0');
        MultiByteToWideChar(CP_ACP, 0, value.data(), static_cast<int>(value.size()), wide.data(),
                            length);
        for (const wchar_t unit : wide) {
            word(static_cast<std::uint16_t>(unit));
        }
    }
    word(0);
}

void Win32DialogTemplate::alignToDword() {
    if (words_.size() % 2 != 0) {
        word(0);
    }
}

}  // namespace os::win32
