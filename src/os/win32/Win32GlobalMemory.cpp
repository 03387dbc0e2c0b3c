#include "os/win32/Win32GlobalMemory.h"

#include <windows.h>

namespace os::win32 {

namespace {

HGLOBAL toGlobal(MemoryHandle block) {
    return reinterpret_cast<HGLOBAL>(block);
}

}  // namespace

MemoryHandle Win32GlobalMemory::alloc(unsigned flags, std::size_t size) {
    return reinterpret_cast<MemoryHandle>(::GlobalAlloc(flags, size));
}

void* Win32GlobalMemory::lock(MemoryHandle block) {
    if (block == 0) {
        ::SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return ::GlobalLock(toGlobal(block));
}

bool Win32GlobalMemory::unlock(MemoryHandle block) {
    return ::GlobalUnlock(toGlobal(block)) != FALSE;
}

MemoryHandle Win32GlobalMemory::free(MemoryHandle block) {
    return reinterpret_cast<MemoryHandle>(::GlobalFree(toGlobal(block)));
}

std::size_t Win32GlobalMemory::size(MemoryHandle block) const {
    if (block == 0) {
        ::SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    return ::GlobalSize(toGlobal(block));
}

}  // namespace os::win32
