#include "os/sim/SimEditor.h"

#include "os/Keyboard.h"

#include <algorithm>
#include <cstring>

namespace os::sim {

namespace {

// The shifted characters of the US layout's number row and punctuation keys.
char shiftedCharacterOf(int virtualKey) {
    switch (virtualKey) {
        case '1':
            return '!';
        case '2':
            return '@';
        case '3':
            return '#';
        case '4':
            return '$';
        case '5':
            return '%';
        case '6':
            return '^';
        case '7':
            return '&';
        case '8':
            return '*';
        case '9':
            return '(';
        case '0':
            return ')';
        case 0xBA:
            return ':';
        case 0xBB:
            return '+';
        case 0xBC:
            return '<';
        case 0xBD:
            return '_';
        case 0xBE:
            return '>';
        case 0xBF:
            return '?';
        case 0xC0:
            return '~';
        case 0xDB:
            return '{';
        case 0xDC:
            return '|';
        case 0xDD:
            return '}';
        case 0xDE:
            return '"';
        default:
            return 0;
    }
}

char unshiftedCharacterOf(int virtualKey) {
    switch (virtualKey) {
        case vk::Space:
            return ' ';
        case 0xBA:
            return ';';
        case 0xBB:
            return '=';
        case 0xBC:
            return ',';
        case 0xBD:
            return '-';
        case 0xBE:
            return '.';
        case 0xBF:
            return '/';
        case 0xC0:
            return '`';
        case 0xDB:
            return '[';
        case 0xDC:
            return '\\';
        case 0xDD:
            return ']';
        case 0xDE:
            return '\'';
        default:
            if ((virtualKey >= '0' && virtualKey <= '9') ||
                (virtualKey >= 'A' && virtualKey <= 'Z')) {
                return static_cast<char>(virtualKey);
            }
            return 0;
    }
}

}  // namespace

SimEditor::SimEditor(SimDesktop& desktop, const std::string& title)
    : desktop_(desktop), window_(desktop.windows.addWindow(title)) {
    desktop_.input.attachApplication(window_, this);
    activate();
}

SimEditor::~SimEditor() {
    desktop_.input.detachApplication(window_);
    desktop_.windows.destroyWindow(window_);
}

void SimEditor::activate() {
    desktop_.windows.setForegroundWindow(window_);
}

char SimEditor::characterOf(int virtualKey, bool shift, bool capsLock) {
    if (virtualKey >= 'A' && virtualKey <= 'Z') {
        const bool upper = shift != capsLock;
        return static_cast<char>(upper ? virtualKey : virtualKey - 'A' + 'a');
    }
    if (shift) {
        const char shifted = shiftedCharacterOf(virtualKey);
        if (shifted != 0) {
            return shifted;
        }
    }
    return unshiftedCharacterOf(virtualKey);
}

void SimEditor::onKey(const InputEvent& event) {
    if (event.released) {
        return;
    }
    const SimKeyboard& keys = desktop_.keyboard;
    if (keys.isKeyDown(vk::Menu)) {
        return;
    }
    if (keys.isKeyDown(vk::Control)) {
        switch (event.virtualKey) {
            case 'A':
                select(0, text_.size());
                break;
            case 'C':
                copy();
                break;
            case 'V':
                paste();
                break;
            default:
                break;
        }
        return;
    }
    switch (event.virtualKey) {
        case vk::Back:
            backspace();
            return;
        case vk::Return:
            insert("\r\n");
            return;
        default:
            break;
    }
    const bool capsLock = (keys.getKeyState(vk::Capital) & 1) != 0;
    const char typed = characterOf(event.virtualKey, keys.isKeyDown(vk::Shift), capsLock);
    if (typed != 0) {
        insert(std::string(1, typed));
    }
}

void SimEditor::setText(const std::string& text) {
    text_ = text;
    cursor_ = anchor_ = text_.size();
}

void SimEditor::select(std::size_t from, std::size_t to) {
    anchor_ = std::min(from, text_.size());
    cursor_ = std::min(to, text_.size());
}

std::string SimEditor::selection() const {
    const std::size_t begin = std::min(anchor_, cursor_);
    const std::size_t end = std::max(anchor_, cursor_);
    return text_.substr(begin, end - begin);
}

void SimEditor::insert(const std::string& inserted) {
    const std::size_t begin = std::min(anchor_, cursor_);
    const std::size_t end = std::max(anchor_, cursor_);
    text_.replace(begin, end - begin, inserted);
    cursor_ = anchor_ = begin + inserted.size();
}

void SimEditor::backspace() {
    if (anchor_ != cursor_) {
        insert("");
        return;
    }
    if (cursor_ == 0) {
        return;
    }
    // A line break is one character to the user.
    const std::size_t length = cursor_ >= 2 && text_.compare(cursor_ - 2, 2, "\r\n") == 0 ? 2 : 1;
    text_.erase(cursor_ - length, length);
    cursor_ = anchor_ = cursor_ - length;
}

void SimEditor::copy() {
    const std::string selected = selection();
    if (selected.empty()) {
        return;  // nothing selected: the clipboard stays as it is
    }
    Clipboard& clipboard = desktop_.clipboard;
    if (!clipboard.open(window_)) {
        return;
    }
    clipboard.empty();
    const auto put = [&](unsigned format, const std::string& bytes) {
        const MemoryHandle block = desktop_.memory.alloc(GMemMoveable, bytes.size() + 1);
        if (block == 0) {
            return;
        }
        std::memcpy(desktop_.memory.lock(block), bytes.c_str(), bytes.size() + 1);
        desktop_.memory.unlock(block);
        if (clipboard.setData(format, block) == 0) {
            desktop_.memory.free(block);
        }
    };
    put(cf::Text, selected);
    put(clipboard.registerFormat(RichTextFormat), "{\\rtf1\\ansi " + selected + "}");
    clipboard.close();
}

void SimEditor::paste() {
    MemoryHandle block = 0;
    if (desktop_.clipboard.getData(cf::Text, block) != ClipboardData::Delivered) {
        return;
    }
    const std::size_t size = desktop_.memory.size(block);
    const auto* bytes = static_cast<const char*>(desktop_.memory.lock(block));
    std::string pasted(bytes, size);
    desktop_.memory.unlock(block);
    desktop_.memory.free(block);
    pasted.resize(std::strlen(pasted.c_str()));
    insert(pasted);
}

}  // namespace os::sim
