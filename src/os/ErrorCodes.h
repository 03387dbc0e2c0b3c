#pragma once

namespace os::error {

// The program speaks one vocabulary of error codes on every backend: the codes of the
// system it was designed for. Backends translate their native failures into these, so the
// checks for "file not found" or "already exists" read the same everywhere.
inline constexpr int Success = 0;
inline constexpr int FileNotFound = 2;
inline constexpr int PathNotFound = 3;
inline constexpr int TooManyOpenFiles = 4;
inline constexpr int AccessDenied = 5;
inline constexpr int InvalidHandle = 6;
inline constexpr int NotEnoughMemory = 8;
inline constexpr int InvalidData = 13;
inline constexpr int OutOfMemory = 14;
inline constexpr int NoMoreFiles = 18;
inline constexpr int WriteProtect = 19;
inline constexpr int SharingViolation = 32;
inline constexpr int NotSupported = 50;
inline constexpr int FileExists = 80;
inline constexpr int InvalidParameter = 87;
inline constexpr int BrokenPipe = 109;
inline constexpr int DiskFull = 112;
inline constexpr int InvalidName = 123;
inline constexpr int ModNotFound = 126;
inline constexpr int ProcNotFound = 127;
inline constexpr int DirNotEmpty = 145;
inline constexpr int NotLocked = 158;
inline constexpr int BusyDrive = 142;
inline constexpr int AlreadyExists = 183;
inline constexpr int FilenameTooLong = 206;
inline constexpr int MoreData = 234;
inline constexpr int NoMoreItems = 259;
inline constexpr int Directory = 267;
inline constexpr int NoAssociation = 1155;
inline constexpr int InvalidWindowHandle = 1400;
inline constexpr int InvalidHookHandle = 1404;
inline constexpr int ClassAlreadyExists = 1410;
inline constexpr int ClassDoesNotExist = 1411;
inline constexpr int ClipboardNotOpen = 1418;
inline constexpr int ControlIdNotFound = 1421;
inline constexpr int ResourceNameNotFound = 1814;
inline constexpr int InvalidHookFilter = 1426;
inline constexpr int InvalidFilterProc = 1427;
inline constexpr int HookNeedsHmod = 1428;
inline constexpr int Timeout = 1460;

// Native failures without a counterpart above keep their own number with this bit set
// (the system's range for application-defined codes), so they stay distinguishable.
inline constexpr int NativeCodeBit = 0x20000000;

}  // namespace os::error
