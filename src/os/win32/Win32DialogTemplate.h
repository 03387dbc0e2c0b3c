#pragma once

#include "os/DialogTemplate.h"

#include <cstdint>
#include <string>
#include <vector>

namespace os::win32 {

// A dialog template in the system's own in-memory layout (DLGTEMPLATE and its items), made
// from the program's template data, so that the system's dialog manager, property sheet and
// themes lay out and draw every control.
class Win32DialogTemplate {
public:
    // The window classes the template's controls are made of; list views need the common
    // controls registered first.
    static constexpr const char* ListViewClass = "SysListView32";

    Win32DialogTemplate(const DialogTemplate& dialogTemplate, bool page);

    // DWORD-aligned, as the dialog functions require.
    const void* data() const { return words_.data(); }
    std::size_t size() const { return words_.size() * sizeof(std::uint16_t); }

    // The window style and extended style a control of the template gets.
    static unsigned controlStyle(const ControlTemplate& control);
    static unsigned controlExtendedStyle(const ControlTemplate& control);
    // The window style of the dialog itself.
    static unsigned dialogStyle(const DialogTemplate& dialogTemplate, bool page);

private:
    void word(std::uint16_t value) { words_.push_back(value); }
    void dword(std::uint32_t value);
    void text(const std::string& value);
    void alignToDword();
    void control(const ControlTemplate& control);

    // Kept as 16-bit units: every field of the layout is a multiple of two bytes.
    std::vector<std::uint16_t> words_;
};

}  // namespace os::win32
