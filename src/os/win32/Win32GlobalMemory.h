#pragma once

#include "os/GlobalMemory.h"

namespace os::win32 {

// The system's global memory: the handles are the HGLOBALs the clipboard takes.
class Win32GlobalMemory final : public GlobalMemory {
public:
    MemoryHandle alloc(unsigned flags, std::size_t size) override;
    void* lock(MemoryHandle block) override;
    bool unlock(MemoryHandle block) override;
    MemoryHandle free(MemoryHandle block) override;
    std::size_t size(MemoryHandle block) const override;
};

}  // namespace os::win32
