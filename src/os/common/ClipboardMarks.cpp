#include "os/common/ClipboardMarks.h"

#include <algorithm>
#include <cctype>

namespace os::common {

const std::array<const char*, 4>& ClipboardMarks::windowsMarks() {
    static const std::array<const char*, 4> marks = {ExcludeFromMonitors, ViewerIgnore,
                                                     HistoryPermission, CloudPermission};
    return marks;
}

namespace {

bool sameFormatName(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

}  // namespace

bool ClipboardMarks::isWindowsMark(const std::string& formatName) {
    return std::any_of(
        windowsMarks().begin(), windowsMarks().end(),
        [&formatName](const char* mark) { return sameFormatName(mark, formatName); });
}

bool ClipboardMarks::marksSecret(const std::string& formatName, const std::string& bytes) {
    if (formatName == X11Hint) {
        // Some owners end the value with a zero byte or a line break.
        const std::size_t end = bytes.find_last_not_of(std::string("\0\r\n", 3));
        return bytes.substr(0, end == std::string::npos ? 0 : end + 1) == X11HintValue;
    }
    if (sameFormatName(ExcludeFromMonitors, formatName) ||
        sameFormatName(ViewerIgnore, formatName)) {
        return true;
    }
    if (sameFormatName(HistoryPermission, formatName)) {
        // A DWORD; a block too short to hold one permits nothing either.
        return bytes.size() < 4 ||
               std::all_of(bytes.begin(), bytes.begin() + 4, [](char byte) { return byte == 0; });
    }
    return false;
}

}  // namespace os::common
