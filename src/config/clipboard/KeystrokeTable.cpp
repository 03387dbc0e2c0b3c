#include "config/clipboard/KeystrokeTable.h"

#include "os/Keyboard.h"

#include <cctype>
#include <fstream>
#include <sstream>

namespace products::pastrix::config::clipboard {

namespace {

constexpr unsigned LetterC = 'C';
constexpr unsigned LetterV = 'V';
constexpr unsigned Insert = 0x2D;

std::string lower(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return text;
}

struct Named {
    const char* name;
    unsigned key;
};

// The first name of a key is the one it is written with.
constexpr Named modifierNames[] = {
    {"Ctrl", os::vk::Control},
    {"Control", os::vk::Control},
    {"Shift", os::vk::Shift},
    {"Alt", os::vk::Menu},
};

constexpr Named keyNames[] = {
    {"Insert", Insert}, {"Ins", Insert},  {"Delete", 0x2E},   {"Del", 0x2E},   {"Home", 0x24},
    {"End", 0x23},      {"PageUp", 0x21}, {"PageDown", 0x22}, {"Enter", 0x0D}, {"Return", 0x0D},
    {"Space", 0x20},    {"Tab", 0x09},    {"Escape", 0x1B},   {"Esc", 0x1B},   {"Backspace", 0x08},
};

// `word` is in lower case.
unsigned findName(const Named* begin, const Named* end, const std::string& word) {
    for (const Named* named = begin; named != end; ++named) {
        if (word == lower(named->name)) {
            return named->key;
        }
    }
    return 0;
}

// A key by its lower-case name: a letter, a digit, F1..F24 or one of keyNames; 0 when unknown.
unsigned keyFromName(const std::string& word) {
    if (word.size() == 1 && std::isalnum(static_cast<unsigned char>(word[0]))) {
        return static_cast<unsigned>(std::toupper(static_cast<unsigned char>(word[0])));
    }
    if (word.size() >= 2 && word.size() <= 3 && word[0] == 'f' &&
        word.find_first_not_of("0123456789", 1) == std::string::npos) {
        const int number = std::stoi(word.substr(1));
        if (number >= 1 && number <= 24) {
            return 0x70U + static_cast<unsigned>(number - 1);
        }
        return 0;
    }
    return findName(std::begin(keyNames), std::end(keyNames), word);
}

std::string nameOf(unsigned key) {
    if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9')) {
        return std::string(1, static_cast<char>(key));
    }
    if (key >= 0x70 && key <= 0x87) {
        return "F" + std::to_string(key - 0x70 + 1);
    }
    for (const Named& named : keyNames) {
        if (named.key == key) {
            return named.name;
        }
    }
    return "?";
}

// The keystroke in `word` ("Ctrl+Shift+V", "none"); the reason in `why` when it is not one.
bool parseKeystroke(const std::string& word, Keystroke& keystroke, std::string& why) {
    keystroke = Keystroke{};
    if (lower(word) == "none") {
        return true;
    }
    std::istringstream parts(word);
    std::vector<std::string> names;
    std::string part;
    while (std::getline(parts, part, '+')) {
        names.push_back(part);
    }
    if (names.empty() || word.back() == '+') {
        why = "\"" + word + "\" is not a keystroke (such as Ctrl+Shift+V, or none)";
        return false;
    }
    for (std::size_t i = 0; i + 1 < names.size(); ++i) {
        const unsigned modifier =
            findName(std::begin(modifierNames), std::end(modifierNames), lower(names[i]));
        if (modifier == 0) {
            why = "\"" + names[i] + "\" is not a modifier (Ctrl, Shift or Alt)";
            return false;
        }
        for (const unsigned held : keystroke.modifiers) {
            if (held == modifier) {
                why = "\"" + names[i] + "\" is named twice";
                return false;
            }
        }
        keystroke.modifiers.push_back(modifier);
    }
    keystroke.key = keyFromName(lower(names.back()));
    if (keystroke.key == 0) {
        why = "\"" + names.back() +
              "\" is not a key name (a letter, a digit, F1 to F24, Insert, Delete, Home, End, "
              "PageUp, PageDown, Enter, Space, Tab, Escape or Backspace)";
        return false;
    }
    return true;
}

}  // namespace

KeystrokeTable::KeystrokeTable()
    : copy_{{os::vk::Control}, LetterC, Keystroke::Selection::Clipboard},
      paste_{{os::vk::Control}, LetterV, Keystroke::Selection::Clipboard} {
    // xterm has no clipboard keys; Shift+Insert pastes its selection, PRIMARY, and a copy is
    // what the user has selected there.
    for (const char* windowClass : {"XTerm", "UXTerm", "URxvt"}) {
        set(windowClass, Action::Copy, Keystroke{{}, 0, Keystroke::Selection::Primary});
        set(windowClass, Action::Paste,
            Keystroke{{os::vk::Shift}, Insert, Keystroke::Selection::Primary});
    }
    for (const char* windowClass :
         {"Gnome-terminal", "konsole", "Xfce4-terminal", "Alacritty", "kitty", "Mate-terminal",
          "Lxterminal", "Tilix", "Terminator", "qterminal", "terminology", "st-256color", "foot",
          "org.wezfurlong.wezterm", "Sakura", "Guake", "Kgx", "Terminal"}) {
        set(windowClass, Action::Copy, Keystroke{{os::vk::Control, os::vk::Shift}, LetterC});
        set(windowClass, Action::Paste, Keystroke{{os::vk::Control, os::vk::Shift}, LetterV});
    }
}

void KeystrokeTable::set(const std::string& windowClass, Action action, Keystroke keystroke) {
    entries_[{lower(windowClass), action}] = std::move(keystroke);
}

std::string KeystrokeTable::addLines(const std::string& text, const std::string& source) {
    std::string problems;
    std::istringstream lines(text);
    std::string line;
    int number = 0;
    while (std::getline(lines, line)) {
        ++number;
        std::istringstream words(line);
        std::vector<std::string> fields;
        std::string word;
        while (words >> word) {
            fields.push_back(word);
        }
        if (fields.empty() || fields[0][0] == '#') {
            continue;
        }
        const auto bad = [&](const std::string& why) {
            problems += source + ", line " + std::to_string(number) + ": " + why + "\n";
        };
        if (fields.size() < 3 || fields.size() > 4) {
            bad("expected a window class, copy or paste, a keystroke and optionally primary");
            continue;
        }
        const std::string action = lower(fields[1]);
        if (action != "copy" && action != "paste") {
            bad("\"" + fields[1] + "\" is neither copy nor paste");
            continue;
        }
        Keystroke keystroke;
        std::string why;
        if (!parseKeystroke(fields[2], keystroke, why)) {
            bad(why);
            continue;
        }
        if (fields.size() == 4) {
            if (lower(fields[3]) != "primary") {
                bad("\"" + fields[3] + "\" is not primary");
                continue;
            }
            keystroke.selection = Keystroke::Selection::Primary;
        }
        if (keystroke.key == 0 && keystroke.selection != Keystroke::Selection::Primary) {
            // Without a key only the primary selection can hold what the application copies.
            bad("none is only for an application whose selection is primary");
            continue;
        }
        set(fields[0], action == "copy" ? Action::Copy : Action::Paste, std::move(keystroke));
    }
    return problems;
}

std::string KeystrokeTable::addFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        // No file of the user's: the shipped entries are all there is.
        return {};
    }
    std::ostringstream text;
    text << file.rdbuf();
    if (file.bad()) {
        return path + ": the file could not be read\n";
    }
    return addLines(text.str(), path);
}

const Keystroke& KeystrokeTable::lookUp(const std::string& windowClass, Action action) const {
    const auto found = entries_.find({lower(windowClass), action});
    if (found != entries_.end()) {
        return found->second;
    }
    return action == Action::Copy ? copy_ : paste_;
}

std::string KeystrokeTable::describe(const Keystroke& keystroke) {
    std::string text;
    if (keystroke.key == 0) {
        text = "none";
    } else {
        for (const unsigned modifier : keystroke.modifiers) {
            for (const Named& named : modifierNames) {
                if (named.key == modifier) {
                    text += std::string(named.name) + "+";
                    break;
                }
            }
        }
        text += nameOf(keystroke.key);
    }
    if (keystroke.selection == Keystroke::Selection::Primary) {
        text += " primary";
    }
    return text;
}

}  // namespace products::pastrix::config::clipboard
