#pragma once

#include <memory>
#include <string>
#include <vector>

namespace os::x11 {

// What the program puts on the CLIPBOARD selection: each format's bytes, in the order they were
// set. The bytes are shared so that a transfer in progress keeps them after the content changed.
struct SelectionFormat {
    unsigned format = 0;
    std::shared_ptr<const std::string> bytes;
};

using SelectionContent = std::vector<SelectionFormat>;

}  // namespace os::x11
