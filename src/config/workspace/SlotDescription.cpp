#include "config/workspace/SlotDescription.h"

namespace products::pastrix::config::workspace::SlotDescription {

namespace {

constexpr std::size_t PreviewLength = 200;

}  // namespace

std::string preview(const std::string& text) {
    std::string result = text.substr(0, PreviewLength);
    const std::size_t carriageReturn = result.find('\r');
    if (carriageReturn != std::string::npos) {
        result.erase(carriageReturn);
    }
    if (result.size() < text.size()) {
        result += "...";
    }
    return result;
}

std::string dataTypes(const std::vector<std::string>& names) {
    std::string result;
    for (const std::string& name : names) {
        if (!result.empty()) {
            result += ", ";
        }
        result += name;
    }
    return result;
}

}  // namespace products::pastrix::config::workspace::SlotDescription
