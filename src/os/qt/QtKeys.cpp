#include "os/qt/QtKeys.h"

#include "os/Port.h"

#include <QKeyEvent>
#include <array>
#include <utility>

namespace os::qt {

namespace {

// Keys that type nothing, and the keypad, by their fixed codes.
constexpr std::array<std::pair<int, int>, 59> FixedKeys{{
    {Qt::Key_Backspace, 0x08},     {Qt::Key_Tab, 0x09},
    {Qt::Key_Backtab, 0x09},       {Qt::Key_Clear, 0x0C},
    {Qt::Key_Return, 0x0D},        {Qt::Key_Enter, 0x0D},
    {Qt::Key_Shift, 0x10},         {Qt::Key_Control, 0x11},
    {Qt::Key_Alt, 0x12},           {Qt::Key_AltGr, 0x12},
    {Qt::Key_Pause, 0x13},         {Qt::Key_CapsLock, 0x14},
    {Qt::Key_Escape, 0x1B},        {Qt::Key_Space, 0x20},
    {Qt::Key_PageUp, 0x21},        {Qt::Key_PageDown, 0x22},
    {Qt::Key_End, 0x23},           {Qt::Key_Home, 0x24},
    {Qt::Key_Left, 0x25},          {Qt::Key_Up, 0x26},
    {Qt::Key_Right, 0x27},         {Qt::Key_Down, 0x28},
    {Qt::Key_Select, 0x29},        {Qt::Key_Printer, 0x2A},
    {Qt::Key_Execute, 0x2B},       {Qt::Key_Print, 0x2C},
    {Qt::Key_SysReq, 0x2C},        {Qt::Key_Insert, 0x2D},
    {Qt::Key_Delete, 0x2E},        {Qt::Key_Help, 0x2F},
    {Qt::Key_Meta, 0x5B},          {Qt::Key_Super_L, 0x5B},
    {Qt::Key_Super_R, 0x5C},       {Qt::Key_Menu, 0x5D},
    {Qt::Key_Sleep, 0x5F},         {Qt::Key_NumLock, 0x90},
    {Qt::Key_ScrollLock, 0x91},    {Qt::Key_Back, 0xA6},
    {Qt::Key_Forward, 0xA7},       {Qt::Key_Refresh, 0xA8},
    {Qt::Key_Stop, 0xA9},          {Qt::Key_Search, 0xAA},
    {Qt::Key_Favorites, 0xAB},     {Qt::Key_HomePage, 0xAC},
    {Qt::Key_VolumeMute, 0xAD},    {Qt::Key_VolumeDown, 0xAE},
    {Qt::Key_VolumeUp, 0xAF},      {Qt::Key_MediaNext, 0xB0},
    {Qt::Key_MediaPrevious, 0xB1}, {Qt::Key_MediaStop, 0xB2},
    {Qt::Key_MediaPlay, 0xB3},     {Qt::Key_MediaTogglePlayPause, 0xB3},
    {Qt::Key_LaunchMail, 0xB4},    {Qt::Key_LaunchMedia, 0xB5},
    {Qt::Key_Launch0, 0xB6},       {Qt::Key_Launch1, 0xB7},
    {Qt::Key_Zoom, 0xFB},          {Qt::Key_Play, 0xFA},
    {Qt::Key_Cancel, 0x03},
}};

// The punctuation of the United States layout, with and without Shift, for a desktop whose
// keyboard layout cannot be asked.
int usPunctuation(int character) {
    switch (character) {
        case ';':
        case ':':
            return 0xBA;
        case '=':
        case '+':
            return 0xBB;
        case ',':
        case '<':
            return 0xBC;
        case '-':
        case '_':
            return 0xBD;
        case '.':
        case '>':
            return 0xBE;
        case '/':
        case '?':
            return 0xBF;
        case '`':
        case '~':
            return 0xC0;
        case '[':
        case '{':
            return 0xDB;
        case '\\':
        case '|':
            return 0xDC;
        case ']':
        case '}':
            return 0xDD;
        case '\'':
        case '"':
            return 0xDE;
        case '!':
            return '1';
        case '@':
            return '2';
        case '#':
            return '3';
        case '$':
            return '4';
        case '%':
            return '5';
        case '^':
            return '6';
        case '&':
            return '7';
        case '*':
            return '8';
        case '(':
            return '9';
        case ')':
            return '0';
        default:
            return 0;
    }
}

int keypadKey(int qtKey) {
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) {
        return 0x60 + (qtKey - Qt::Key_0);
    }
    switch (qtKey) {
        case Qt::Key_Asterisk:
            return 0x6A;
        case Qt::Key_Plus:
            return 0x6B;
        case Qt::Key_Minus:
            return 0x6D;
        case Qt::Key_Period:
        case Qt::Key_Comma:
            return 0x6E;
        case Qt::Key_Slash:
            return 0x6F;
        default:
            return 0;
    }
}

}  // namespace

int virtualKeyOf(int qtKey, unsigned modifiers) {
    if ((modifiers & Qt::KeypadModifier) != 0) {
        if (const int key = keypadKey(qtKey); key != 0) {
            return key;
        }
    }
    if ((qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) || (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)) {
        // Letters and digits are their own codes.
        return qtKey;
    }
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24) {
        return 0x70 + (qtKey - Qt::Key_F1);
    }
    for (const auto& [key, virtualKey] : FixedKeys) {
        if (key == qtKey) {
            return virtualKey;
        }
    }
    if (qtKey > 0x20 && qtKey < 0x7F) {
        // Punctuation: the key that types the character in the desktop's layout.
        if (const Keyboard* keyboard = installed().keyboard; keyboard != nullptr) {
            const short scan = keyboard->vkKeyScan(static_cast<char>(qtKey));
            if (scan != -1) {
                return scan & 0xFF;
            }
        }
        return usPunctuation(qtKey);
    }
    return 0;
}

int virtualKeyOf(const QKeyEvent& event) {
    return virtualKeyOf(event.key(), static_cast<unsigned>(event.modifiers().toInt()));
}

}  // namespace os::qt
