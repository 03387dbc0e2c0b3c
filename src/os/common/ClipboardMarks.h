#pragma once

#include <array>
#include <string>

namespace os::common {

// The formats that clipboard histories, cloud clipboards and clipboard viewers honour: content
// that carries them is not recorded. The program marks what it puts on the clipboard only for
// a moment, for a copy or paste keystroke, with them.
class ClipboardMarks {
public:
    // Windows' own history and cloud clipboard and the common clipboard viewers; each mark
    // holds a 32-bit 0.
    static const std::array<const char*, 4>& windowsMarks();
    // What X11 histories (Klipper, CopyQ, GPaste) honour: the target and the value it holds.
    static constexpr const char* X11Hint = "x-kde-passwordManagerHint";
    static constexpr const char* X11HintValue = "secret";

    // Whether a registered format name is one of Windows' marks, letter case aside as the
    // system compares format names.
    static bool isWindowsMark(const std::string& formatName);
};

}  // namespace os::common
