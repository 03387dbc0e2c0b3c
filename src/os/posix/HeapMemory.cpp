#include "os/posix/HeapMemory.h"

#include "os/ErrorCodes.h"

#include <cstdlib>
#include <new>

namespace os::posix {

void HeapMemory::FreeBytes::operator()(unsigned char* bytes) const {
    std::free(bytes);
}

HeapMemory::HeapMemory(Errors& errors) : errors_(errors) {}

HeapMemory::~HeapMemory() = default;

HeapMemory::Block* HeapMemory::find(MemoryHandle block) const {
    const auto found = blocks_.find(block);
    if (found == blocks_.end()) {
        errors_.setLastError(error::InvalidHandle);
        return nullptr;
    }
    return found->second.get();
}

MemoryHandle HeapMemory::alloc(unsigned /*flags*/, std::size_t size) {
    // Blocks always start zeroed; movable or fixed makes no difference here.
    try {
        auto block = std::make_unique<Block>();
        if (size != 0) {
            block->bytes.reset(static_cast<unsigned char*>(std::calloc(size, 1)));
            if (!block->bytes) {
                throw std::bad_alloc();
            }
        }
        block->size = size;
        std::lock_guard lock(mutex_);
        const MemoryHandle handle = nextHandle_;
        nextHandle_ += 0x10;
        blocks_.emplace(handle, std::move(block));
        return handle;
    } catch (const std::bad_alloc&) {
        errors_.setLastError(error::NotEnoughMemory);
        return 0;
    }
}

void* HeapMemory::lock(MemoryHandle block) {
    std::lock_guard lock(mutex_);
    Block* found = find(block);
    if (found == nullptr) {
        return nullptr;
    }
    ++found->locks;
    // A zero-size block still has an address, as a discarded block has none to give.
    static unsigned char empty = 0;
    return found->size == 0 ? &empty : found->bytes.get();
}

bool HeapMemory::unlock(MemoryHandle block) {
    std::lock_guard lock(mutex_);
    Block* found = find(block);
    if (found == nullptr) {
        return false;
    }
    if (found->locks == 0) {
        errors_.setLastError(error::NotLocked);
        return false;
    }
    if (--found->locks == 0) {
        errors_.setLastError(error::Success);
        return false;
    }
    return true;
}

MemoryHandle HeapMemory::free(MemoryHandle block) {
    std::lock_guard lock(mutex_);
    if (blocks_.erase(block) == 0) {
        errors_.setLastError(error::InvalidHandle);
        return block;
    }
    return 0;
}

std::size_t HeapMemory::size(MemoryHandle block) const {
    std::lock_guard lock(mutex_);
    const Block* found = find(block);
    if (found == nullptr) {
        return 0;
    }
    if (found->size == 0) {
        errors_.setLastError(error::Success);
    }
    return found->size;
}

std::size_t HeapMemory::liveBlocks() const {
    std::lock_guard lock(mutex_);
    return blocks_.size();
}

}  // namespace os::posix
