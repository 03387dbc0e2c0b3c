#include "os/common/ClipboardMarks.h"

#include <algorithm>
#include <cctype>

namespace os::common {

const std::array<const char*, 4>& ClipboardMarks::windowsMarks() {
    static const std::array<const char*, 4> marks = {
        "ExcludeClipboardContentFromMonitorProcessing", "Clipboard Viewer Ignore",
        "CanIncludeInClipboardHistory", "CanUploadToCloudClipboard"};
    return marks;
}

bool ClipboardMarks::isWindowsMark(const std::string& formatName) {
    const auto sameName = [&formatName](const char* mark) {
        const std::string name(mark);
        return name.size() == formatName.size() &&
               std::equal(name.begin(), name.end(), formatName.begin(), [](char a, char b) {
                   return std::tolower(static_cast<unsigned char>(a)) ==
                          std::tolower(static_cast<unsigned char>(b));
               });
    };
    return std::any_of(windowsMarks().begin(), windowsMarks().end(), sameName);
}

}  // namespace os::common
