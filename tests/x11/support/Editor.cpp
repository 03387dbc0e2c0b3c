#include "support/Editor.h"

#include "support/XProbe.h"

#include <fstream>

namespace x11_testing {

Editor::Editor() : file_(directory_.path() + "/" + FileName) {
    std::ofstream(file_) << "Some notes\n";
    peer_ = std::make_unique<Peer>(std::vector<std::string>{"l3afpad", file_});
}

bool Editor::waitUntilInFront() {
    XProbe probe;
    return waitUntil(
        [&] {
            const unsigned long active = probe.activeWindow();
            return active != 0 && probe.windowClass(active).find("l3afpad") != std::string::npos;
        },
        std::chrono::milliseconds(15000));
}

}  // namespace x11_testing
