#pragma once

#include <cstddef>
#include <string>

// Text helpers shared by the whole program. Texts are 8-bit strings in the current code page.
namespace util::StringHelper {

inline constexpr int LowerCase = 0;
inline constexpr int UpperCase = 1;

// Replaces every occurrence of `what` by `with`, left to right; text inserted by a
// replacement is never searched again. Returns the number of replacements; an empty `what`
// replaces nothing.
std::size_t replaceAll(std::string& replaceIn, const std::string& what, const std::string& with);

// LowerCase or UpperCase of the single-byte letters; any other mode is reported and leaves
// the text as it is.
std::string changeCase(const std::string& src, int mode);
std::string toLowerCase(const std::string& src);

// The text as wide characters, through the current locale's multibyte conversion. Throws
// util::StringHelperException when the text is not valid in that locale.
std::wstring toWideString(const std::string& src);

}  // namespace util::StringHelper
