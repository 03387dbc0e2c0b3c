#pragma once

#include "os/sim/SimDesktop.h"

#include <cstddef>
#include <string>

namespace os::sim {

// A text editor running on the simulated desktop: a window with a title, a text with a
// cursor and a selection. While its window is in front it takes the input stream as an
// editor does: the characters the desktop's keyboard layout makes of the keys are typed at
// the cursor (replacing the selection), Backspace deletes, Enter breaks the line, Ctrl+A
// selects all, Ctrl+C copies the selection (as plain text and as rich text) and Ctrl+V
// inserts the clipboard's plain text.
class SimEditor final : public SimApplication {
public:
    static constexpr const char* RichTextFormat = "Rich Text Format";

    SimEditor(SimDesktop& desktop, const std::string& title,
              const std::string& className = "SimApplicationWindow");
    ~SimEditor() override;
    SimEditor(const SimEditor&) = delete;
    SimEditor& operator=(const SimEditor&) = delete;

    void onKey(const InputEvent& event) override;

    WindowHandle window() const { return window_; }
    // Puts the editor's window in front, where it receives the input.
    void activate();

    void setText(const std::string& text);
    const std::string& text() const { return text_; }
    // Selects the characters from `from` up to `to`; the cursor goes to `to`.
    void select(std::size_t from, std::size_t to);
    std::string selection() const;
    std::size_t cursor() const { return cursor_; }

private:
    void type(char character);
    void insert(const std::string& inserted);
    void backspace();
    void copy();
    void paste();

    SimDesktop& desktop_;
    WindowHandle window_;
    std::string text_;
    std::size_t cursor_ = 0;
    std::size_t anchor_ = 0;
};

}  // namespace os::sim
