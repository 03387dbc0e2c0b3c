#pragma once

#include "support/Peers.h"

#include <memory>
#include <string>

namespace x11_testing {

// A GTK text editor (l3afpad) started on a file of a known name, so that its title is known.
class Editor {
public:
    static constexpr const char* FileName = "pastrix-notes.txt";

    Editor();

    // Waits until the editor's window is the active one; false when it never became so.
    bool waitUntilInFront();
    // Ends the editor.
    void close() { peer_.reset(); }

private:
    TemporaryDirectory directory_;
    std::string file_;
    std::unique_ptr<Peer> peer_;
};

}  // namespace x11_testing
