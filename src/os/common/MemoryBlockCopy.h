#pragma once

#include "os/GlobalMemory.h"
#include "os/Types.h"

#include <optional>
#include <string>

namespace os::common {

// Bytes into a new movable memory block and back out of one: how clipboard data crosses
// between the program's blocks and a backend's own store.
class MemoryBlockCopy {
public:
    explicit MemoryBlockCopy(GlobalMemory& memory) : memory_(memory) {}

    // A new movable block holding the bytes; 0 when it cannot be made or filled (nothing is
    // left allocated then, and the memory's last error stands).
    MemoryHandle copyIn(const std::string& bytes) const;
    // The block's bytes, after which the block is freed; nullopt when it cannot be locked,
    // and the block stays the caller's.
    std::optional<std::string> takeOut(MemoryHandle block) const;

private:
    GlobalMemory& memory_;
};

}  // namespace os::common
