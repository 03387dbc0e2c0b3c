#pragma once

#include "os/Types.h"

namespace windows::clipboard {

// One format of a clipboard snapshot: a memory block holding the format's bytes, owned by
// the snapshot, and the format's identifier.
struct ClipboardEntry {
    os::MemoryHandle memory = 0;
    unsigned format = 0;
};

}  // namespace windows::clipboard
