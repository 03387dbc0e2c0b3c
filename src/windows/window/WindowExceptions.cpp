#include "windows/window/WindowExceptions.h"

#include <utility>

namespace windows::window {

WindowXException::WindowXException(std::string text) : message(std::move(text)) {}

WindowXException::~WindowXException() = default;

std::string WindowXException::getMessage() const {
    return message;
}

}  // namespace windows::window
