#include "util/parser/StringTokenizerImpl.h"

#include "platform/assertion/Assertion.h"

#include <utility>

namespace util::parser {

StringTokenizerImpl::StringTokenizerImpl(std::string text, std::string delimiters)
    : _text(std::move(text)), _delimiters(std::move(delimiters)), _next(tokenStart(0)) {}

std::size_t StringTokenizerImpl::tokenStart(std::size_t from) const {
    return _text.find_first_not_of(_delimiters, from);
}

std::size_t StringTokenizerImpl::tokenEnd(std::size_t start) const {
    const std::size_t end = _text.find_first_of(_delimiters, start);
    return end == std::string::npos ? _text.size() : end;
}

std::size_t StringTokenizerImpl::countTokens() const {
    std::size_t count = 0;
    for (std::size_t pos = _next; pos != std::string::npos; pos = tokenStart(tokenEnd(pos))) {
        ++count;
    }
    return count;
}

bool StringTokenizerImpl::hasMoreTokens() const {
    return _next != std::string::npos;
}

std::string StringTokenizerImpl::nextToken() {
    PX_ASSERT(hasMoreTokens());
    if (!hasMoreTokens()) {
        return std::string();
    }
    const std::size_t end = tokenEnd(_next);
    std::string token = _text.substr(_next, end - _next);
    _next = tokenStart(end);
    return token;
}

std::string StringTokenizerImpl::tokenAhead(std::size_t n) const {
    PX_ASSERT(n < countTokens());
    std::size_t pos = _next;
    for (std::size_t skipped = 0; skipped < n && pos != std::string::npos; ++skipped) {
        pos = tokenStart(tokenEnd(pos));
    }
    if (pos == std::string::npos) {
        return std::string();
    }
    return _text.substr(pos, tokenEnd(pos) - pos);
}

}  // namespace util::parser
