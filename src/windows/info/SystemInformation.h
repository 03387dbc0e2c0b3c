#pragma once

#include "os/SystemInfo.h"

// What the program asks about the system it runs on.
namespace windows::info {

// Throws CouldNotGetWindowsVersion.
os::VersionInfo getWindowsVersion();
// Windows 95 is the one system the program refuses to run on.
bool isWindows95();
// The primary screen's size in pixels; 0 when the system cannot tell.
int getScreenWidth();
int getScreenHeight();

}  // namespace windows::info
