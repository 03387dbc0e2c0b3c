#pragma once

#include "os/Types.h"

#include <string>

namespace os {

// Message box styles and answers.
namespace mb {
inline constexpr unsigned Ok = 0x0;
inline constexpr unsigned YesNo = 0x4;
inline constexpr unsigned IconError = 0x10;
inline constexpr unsigned IconQuestion = 0x20;
inline constexpr unsigned IconWarning = 0x30;
inline constexpr unsigned IconInformation = 0x40;
inline constexpr unsigned SetForeground = 0x10000;
inline constexpr unsigned ButtonsMask = 0xF;
inline constexpr unsigned IconMask = 0xF0;
}  // namespace mb

namespace id {
inline constexpr int Ok = 1;
inline constexpr int Cancel = 2;
inline constexpr int Yes = 6;
inline constexpr int No = 7;
}  // namespace id

// Modal message boxes.
class Dialogs {
public:
    virtual ~Dialogs() = default;

    // Shows the box and waits until the user closes it; returns the button pressed.
    virtual int messageBox(WindowHandle owner, const std::string& text, const std::string& caption,
                           unsigned style) = 0;
};

}  // namespace os
