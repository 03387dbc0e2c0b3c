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
    static constexpr const char* ExcludeFromMonitors =
        "ExcludeClipboardContentFromMonitorProcessing";
    static constexpr const char* ViewerIgnore = "Clipboard Viewer Ignore";
    static constexpr const char* HistoryPermission = "CanIncludeInClipboardHistory";
    static constexpr const char* CloudPermission = "CanUploadToCloudClipboard";
    static const std::array<const char*, 4>& windowsMarks();
    // What X11 histories (Klipper, CopyQ, GPaste) honour: the target and the value it holds.
    static constexpr const char* X11Hint = "x-kde-passwordManagerHint";
    static constexpr const char* X11HintValue = "secret";

    // Whether a registered format name is one of Windows' marks, letter case aside as the
    // system compares format names.
    static bool isWindowsMark(const std::string& formatName);
    // Whether a mark holding these bytes says that its owner keeps the content secret: the
    // X11 hint holding "secret"; on Windows the monitor and viewer exclusions by being there,
    // and the history's permission when it holds 0. The cloud clipboard's permission alone
    // says nothing of secrecy.
    static bool marksSecret(const std::string& formatName, const std::string& bytes);
};

}  // namespace os::common
