#pragma once

#include "os/Types.h"

#include <cstddef>

namespace os {

inline constexpr unsigned GMemMoveable = 0x0002;
inline constexpr unsigned GMemZeroInit = 0x0040;

// Movable memory blocks that can be handed to the clipboard. A block's size is exactly the
// number of bytes asked for.
class GlobalMemory {
public:
    virtual ~GlobalMemory() = default;

    // 0 on failure.
    virtual MemoryHandle alloc(unsigned flags, std::size_t size) = 0;
    // nullptr on failure. Every lock is matched by one unlock.
    virtual void* lock(MemoryHandle block) = 0;
    // True while the block stays locked; false with last error 0 when it is now unlocked,
    // false with another code on failure.
    virtual bool unlock(MemoryHandle block) = 0;
    // 0 on success, the handle itself on failure.
    virtual MemoryHandle free(MemoryHandle block) = 0;
    // 0 on failure.
    virtual std::size_t size(MemoryHandle block) const = 0;
};

}  // namespace os
