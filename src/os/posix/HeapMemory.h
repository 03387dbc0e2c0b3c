#pragma once

#include "os/Errors.h"
#include "os/GlobalMemory.h"

#include <map>
#include <memory>
#include <mutex>
#include <vector>

namespace os::posix {

// Memory blocks on the heap for platforms that have no global memory of their own. Handles
// are numbers rather than addresses so that a stale or foreign handle is refused instead of
// followed.
class HeapMemory final : public GlobalMemory {
public:
    explicit HeapMemory(Errors& errors);
    ~HeapMemory() override;

    MemoryHandle alloc(unsigned flags, std::size_t size) override;
    void* lock(MemoryHandle block) override;
    bool unlock(MemoryHandle block) override;
    MemoryHandle free(MemoryHandle block) override;
    std::size_t size(MemoryHandle block) const override;

    // Blocks allocated and not freed: lets tests find leaks of clipboard data.
    std::size_t liveBlocks() const;

private:
    struct FreeBytes {
        void operator()(unsigned char* bytes) const;
    };
    struct Block {
        // From calloc, which gets large blocks from fresh pages that are zero already, so a
        // block about to be filled is not written twice.
        std::unique_ptr<unsigned char, FreeBytes> bytes;
        std::size_t size = 0;
        unsigned locks = 0;
    };

    Block* find(MemoryHandle block) const;

    Errors& errors_;
    mutable std::mutex mutex_;
    std::map<MemoryHandle, std::unique_ptr<Block>> blocks_;
    MemoryHandle nextHandle_ = 0x1000;
};

}  // namespace os::posix
