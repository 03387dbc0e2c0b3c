#pragma once

#include "util/parser/StringTokenizer.h"

#include <string>

namespace util::parser {

class StringTokenizerImpl final : public StringTokenizer {
public:
    // Any character of `delimiters` separates tokens.
    StringTokenizerImpl(std::string text, std::string delimiters);

    std::size_t countTokens() const override;
    bool hasMoreTokens() const override;
    std::string nextToken() override;
    std::string tokenAhead(std::size_t n) const override;

private:
    // The first character of the token that starts at or after `from`, or npos.
    std::size_t tokenStart(std::size_t from) const;
    // One past the last character of the token that starts at `start`.
    std::size_t tokenEnd(std::size_t start) const;

    std::string _text;
    std::string _delimiters;
    std::size_t _next;
};

}  // namespace util::parser
