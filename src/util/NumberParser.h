#pragma once

#include <string>

// Reading whole numbers from the texts the program stores.
namespace util::NumberParser {

// Decimal conversion as the settings use it: leading white space, an optional sign, then
// digits up to the first other character ("12abc" is 12). "0" is the only spelling of zero;
// any other text that converts to 0 ("", "00", "-0", "abc") is refused, and so is a number
// outside the range of a 32-bit integer. Throws exceptions::NumberFormatException.
int parseInt(const std::string& text);

}  // namespace util::NumberParser
