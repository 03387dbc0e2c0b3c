#pragma once

#include "os/Types.h"

#include <cstddef>

// Memory blocks for the clipboard, each failure raised as its own exception.
namespace windows::memory::WindowsMemoryHelper {

os::MemoryHandle globalAlloc(unsigned flags, std::size_t size);
void* globalLock(os::MemoryHandle memoryHandle);
void globalUnlock(os::MemoryHandle memoryHandle);
void globalFree(os::MemoryHandle memoryHandle);
std::size_t globalSize(os::MemoryHandle memoryHandle);

}  // namespace windows::memory::WindowsMemoryHelper
