#pragma once

#include <cstddef>

namespace util::memory {

// A new array of `size` bytes copied from `src`, to be freed with delete[]; null (after a
// report) when there is nothing to copy or no memory.
char* duplicate(const char* src, std::size_t size);

}  // namespace util::memory
