#include "util/StringHelper.h"

#include "platform/assertion/Assertion.h"
#include "util/StringHelperException.h"

#include <algorithm>
#include <cctype>
#include <cwchar>

namespace util::StringHelper {

namespace {

// Converts the whole text, zero bytes included, one character at a time. With a null
// `out` it only counts. Returns false on an invalid or incomplete sequence.
bool convertToWide(const std::string& src, wchar_t* out, std::size_t& count) {
    std::mbstate_t state{};
    count = 0;
    std::size_t pos = 0;
    while (pos < src.size()) {
        wchar_t wide = 0;
        const std::size_t used = std::mbrtowc(&wide, src.data() + pos, src.size() - pos, &state);
        if (used == static_cast<std::size_t>(-1) || used == static_cast<std::size_t>(-2)) {
            return false;
        }
        if (out != nullptr) {
            out[count] = wide;
        }
        ++count;
        // A zero byte converts to the wide zero and counts as one byte.
        pos += used == 0 ? 1 : used;
    }
    return true;
}

}  // namespace

std::size_t replaceAll(std::string& replaceIn, const std::string& what, const std::string& with) {
    using std::find;
    PX_ASSERT(find(replaceIn.begin(), replaceIn.end(), '\0') == replaceIn.end());
    if (what.empty()) {
        return 0;
    }
    std::size_t count = 0;
    std::size_t pos = replaceIn.find(what);
    while (pos != std::string::npos) {
        replaceIn.replace(pos, what.size(), with);
        ++count;
        pos = replaceIn.find(what, pos + with.size());
    }
    return count;
}

std::string changeCase(const std::string& src, int mode) {
    PX_ASSERT(src.c_str()[src.size()] == 0);
    if (mode != LowerCase && mode != UpperCase) {
        PX_ASSERT(false);
        return src;
    }
    std::string result = src;
    for (char& c : result) {
        const int byte = static_cast<unsigned char>(c);
        c = static_cast<char>(mode == LowerCase ? std::tolower(byte) : std::toupper(byte));
    }
    return result;
}

std::string toLowerCase(const std::string& src) {
    return changeCase(src, LowerCase);
}

std::wstring toWideString(const std::string& src) {
    std::size_t length = 0;
    if (!convertToWide(src, nullptr, length)) {
        throw StringHelperException("Could get the length of the corresponding wide string for '" +
                                    src + "'.");
    }
    std::wstring wide(length, L'\0');
    std::size_t converted = 0;
    if (!convertToWide(src, wide.data(), converted) || converted != length) {
        throw StringHelperException("Could not convert '" + src + "' to a wide string.");
    }
    return wide;
}

}  // namespace util::StringHelper
