#include "util/memory/Memory.h"

#include "platform/assertion/Assertion.h"

#include <cstring>
#include <new>

namespace util::memory {

char* duplicate(const char* src, std::size_t size) {
    PX_ASSERT(src);
    PX_ASSERT(size > 0);
    if (src == nullptr || size == 0) {
        return nullptr;
    }
    char* dup = new (std::nothrow) char[size];
    PX_ASSERT(dup);
    if (dup != nullptr) {
        std::memcpy(dup, src, size);
    }
    return dup;
}

}  // namespace util::memory
