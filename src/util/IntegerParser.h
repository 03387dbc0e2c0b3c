#pragma once

#include <string>

// The program's one rule for reading whole numbers from text (settings, slot file names,
// list cells).
namespace util::IntegerParser {

// Leading white space, an optional sign and the decimal digits up to the first other
// character ("12abc" gives 12). The text "0" gives 0; an empty text, or any other text that
// comes out as 0, throws exceptions::NumberFormatException. Values beyond the range of int
// are held at its ends.
int parse(const std::string& text);

}  // namespace util::IntegerParser
