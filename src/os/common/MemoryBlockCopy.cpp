#include "os/common/MemoryBlockCopy.h"

#include <cstring>

namespace os::common {

MemoryHandle MemoryBlockCopy::copyIn(const std::string& bytes) const {
    const MemoryHandle copy = memory_.alloc(GMemMoveable, bytes.size());
    if (copy == 0) {
        return 0;
    }
    void* target = memory_.lock(copy);
    if (target == nullptr) {
        memory_.free(copy);
        return 0;
    }
    std::memcpy(target, bytes.data(), bytes.size());
    memory_.unlock(copy);
    return copy;
}

std::optional<std::string> MemoryBlockCopy::takeOut(MemoryHandle block) const {
    const std::size_t size = memory_.size(block);
    const void* source = memory_.lock(block);
    if (source == nullptr) {
        return std::nullopt;
    }
    std::string bytes(static_cast<const char*>(source), size);
    memory_.unlock(block);
    memory_.free(block);
    return bytes;
}

}  // namespace os::common
