#include "os/sim/SimEditor.h"

#include "os/Keyboard.h"

#include <algorithm>
#include <cstring>

namespace os::sim {

SimEditor::SimEditor(SimDesktop& desktop, const std::string& title, const std::string& className)
    : desktop_(desktop), window_(desktop.windows.addWindow(title, className)) {
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
    // Characters come from the desktop's keyboard layout, as an application's do.
    KeyStateTable state{};
    keys.getKeyboardState(state);
    AsciiBuffer typed{};
    const int count = desktop_.keyboard.toAscii(static_cast<unsigned>(event.virtualKey),
                                                event.scanCode, state, typed, 0);
    for (int i = 0; i < count; ++i) {
        type(static_cast<char>(typed[static_cast<std::size_t>(i)]));
    }
}

void SimEditor::type(char character) {
    switch (character) {
        case '\b':
            backspace();
            return;
        case '\r':
            insert("\r\n");
            return;
        case '\t':
            insert("\t");
            return;
        default:
            // Other control characters (Escape, Delete) type nothing.
            if (static_cast<unsigned char>(character) >= 0x20 && character != 0x7F) {
                insert(std::string(1, character));
            }
            return;
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
