#include "windows/memory/WindowsMemoryHelper.h"

#include "os/ErrorCodes.h"
#include "os/Port.h"
#include "platform/assertion/Assertion.h"
#include "platform/errorresources/SystemErrors.h"
#include "windows/memory/MemoryExceptions.h"

#include <cstdio>
#include <string>

namespace windows::memory::WindowsMemoryHelper {

namespace {

std::string hex(os::MemoryHandle handle) {
    char text[2 + 2 * sizeof handle + 1];
    std::snprintf(text, sizeof text, "0x%llX", static_cast<unsigned long long>(handle));
    return text;
}

std::string lastErrorText() {
    return platform::errorresources::SystemErrors::map(os::errors().lastError());
}

}  // namespace

os::MemoryHandle globalAlloc(unsigned flags, std::size_t size) {
    PX_ASSERT(size > 0);
    const os::MemoryHandle memoryHandle = os::globalMemory().alloc(flags, size);
    if (memoryHandle == 0) {
        throw CouldNotGlobalAllocException("Error when allocating memory with GlobalAlloc. Size: " +
                                           std::to_string(size) + "\n" + lastErrorText());
    }
    return memoryHandle;
}

void* globalLock(os::MemoryHandle memoryHandle) {
    PX_ASSERT(memoryHandle != 0);
    void* bytes = os::globalMemory().lock(memoryHandle);
    if (bytes == nullptr) {
        throw CouldNotGlobalLockException("Error when locking memory with GlobalLock. Handle: " +
                                          hex(memoryHandle) + "\n" + lastErrorText());
    }
    return bytes;
}

void globalUnlock(os::MemoryHandle memoryHandle) {
    PX_ASSERT(memoryHandle != 0);
    // A result of 0 is success when the block is now unlocked, which the error code tells.
    os::errors().setLastError(os::error::Success);
    if (!os::globalMemory().unlock(memoryHandle) &&
        os::errors().lastError() != os::error::Success) {
        throw CouldNotGlobalUnlockException(
            "Error when unlocking memory with GlobalUnlock. Handle: " + hex(memoryHandle) + "\n" +
            lastErrorText());
    }
}

void globalFree(os::MemoryHandle memoryHandle) {
    PX_ASSERT(memoryHandle != 0);
    if (os::globalMemory().free(memoryHandle) != 0) {
        throw CouldNotGlobalFreeException("Error when free memory with GlobalFree. Handle: " +
                                          hex(memoryHandle) + "\n" + lastErrorText());
    }
}

std::size_t globalSize(os::MemoryHandle memoryHandle) {
    PX_ASSERT(memoryHandle != 0);
    const std::size_t size = os::globalMemory().size(memoryHandle);
    if (size == 0) {
        throw CouldNotGlobalSizeException(
            "Error when trying to get size of memory with GlobalSize. Handle: " +
            hex(memoryHandle) + "\n" + lastErrorText());
    }
    return size;
}

}  // namespace windows::memory::WindowsMemoryHelper
