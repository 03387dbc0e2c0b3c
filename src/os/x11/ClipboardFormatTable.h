#pragma once

#include <map>
#include <mutex>
#include <optional>
#include <string>

namespace os::x11 {

// The identifiers of registered clipboard formats (X11 targets by name), kept in a file so that
// a format has the same identifier in every run: slot files store identifiers, and a slot saved
// today must offer the same targets after a restart.
//
// The file holds one line per format, "C000 text/html": the identifier in hexadecimal, one
// blank, the name up to the end of the line. Every process of the user that registers a new
// name rereads the file under a lock and writes it whole (a temporary file renamed over it), so
// two processes never hand out one identifier for two names.
class ClipboardFormatTable {
public:
    // An empty path keeps the table in memory only.
    explicit ClipboardFormatTable(std::string path);

    // $XDG_CONFIG_HOME/pastrix/clipboard-formats, or ~/.config/pastrix/clipboard-formats; empty
    // when neither variable is set.
    static std::string defaultPath();

    // The identifier of the name (letter case aside), handing out the next free one for a new
    // name. 0 with the program's error code in `error` when the name cannot be registered: it is
    // empty or holds a line break or a zero byte, or every identifier is taken.
    unsigned registerName(const std::string& name, int& error);
    // Looks a name up without registering it.
    std::optional<unsigned> find(const std::string& name) const;
    std::optional<std::string> name(unsigned id) const;

    // What went wrong with the file (damaged, unreadable, not writable), in words for the user;
    // empty when nothing did. Each problem is told once: the text is cleared when taken.
    std::string takeProblem();

    const std::string& path() const { return _path; }

private:
    struct Parsed {
        std::map<std::string, unsigned> ids;  // by upper-case name
        std::map<unsigned, std::string> names;
        unsigned highest = 0;  // highest identifier written in the file, even on a bad line
        std::string damage;    // the first fault found, empty when the file is sound
    };

    static Parsed parse(const std::string& text);
    // Merges the file's entries into the table; a damaged file is kept aside and repaired.
    void loadLocked();
    bool saveLocked();
    void addLocked(const std::string& name, unsigned id);
    void noteProblem(const std::string& text);

    const std::string _path;
    mutable std::mutex mutex_;
    std::map<std::string, unsigned> ids_;
    std::map<unsigned, std::string> names_;
    unsigned next_;
    std::string problem_;
};

}  // namespace os::x11
