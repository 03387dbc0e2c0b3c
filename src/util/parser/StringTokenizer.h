#pragma once

#include <cstddef>
#include <string>

namespace util::parser {

// Splits a text into tokens: maximal runs of characters that are not delimiters. Delimiters
// only separate, so no token is ever empty.
class StringTokenizer {
public:
    // The tokens from the current position to the end, without consuming them.
    virtual std::size_t countTokens() const = 0;
    virtual bool hasMoreTokens() const = 0;
    // The next token; the position moves past it and the delimiters that follow.
    virtual std::string nextToken() = 0;
    // The token that follows the next n tokens, without consuming anything.
    virtual std::string tokenAhead(std::size_t n) const = 0;
    virtual ~StringTokenizer() = default;
};

}  // namespace util::parser
