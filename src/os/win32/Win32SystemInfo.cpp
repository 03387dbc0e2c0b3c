#include "os/win32/Win32SystemInfo.h"

#include <windows.h>

namespace os::win32 {

namespace {

using RtlGetVersionFunction = LONG(WINAPI*)(OSVERSIONINFOEXW*);

std::string narrow(const wchar_t* text) {
    char buffer[256];
    const int length =
        ::WideCharToMultiByte(CP_ACP, 0, text, -1, buffer, sizeof buffer, nullptr, nullptr);
    return length > 0 ? std::string(buffer, static_cast<std::size_t>(length - 1)) : std::string();
}

}  // namespace

bool Win32SystemInfo::getVersionEx(VersionInfo& info) const {
    if (info.size != VersionInfoSize) {
        ::SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    // ntdll's query is not subject to the version lie; it has been there since Windows 2000.
    OSVERSIONINFOEXW version{};
    version.dwOSVersionInfoSize = sizeof version;
    const HMODULE ntdll = ::GetModuleHandleA("ntdll.dll");
    const auto query = ntdll == nullptr
                           ? nullptr
                           : reinterpret_cast<RtlGetVersionFunction>(reinterpret_cast<void (*)()>(
                                 ::GetProcAddress(ntdll, "RtlGetVersion")));
    if (query == nullptr || query(&version) != 0) {
        OSVERSIONINFOW legacy{};
        legacy.dwOSVersionInfoSize = sizeof legacy;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
        if (!::GetVersionExW(&legacy)) {
            return false;
        }
#pragma GCC diagnostic pop
        version.dwMajorVersion = legacy.dwMajorVersion;
        version.dwMinorVersion = legacy.dwMinorVersion;
        version.dwBuildNumber = legacy.dwBuildNumber;
        version.dwPlatformId = legacy.dwPlatformId;
        ::lstrcpynW(version.szCSDVersion, legacy.szCSDVersion, 128);
    }
    info.majorVersion = version.dwMajorVersion;
    info.minorVersion = version.dwMinorVersion;
    info.buildNumber = version.dwBuildNumber;
    info.platformId = version.dwPlatformId;
    info.csdVersion = narrow(version.szCSDVersion).substr(0, 127);
    return true;
}

int Win32SystemInfo::getSystemMetrics(int index) const {
    return ::GetSystemMetrics(index);
}

std::string Win32SystemInfo::getCommandLine() const {
    const char* line = ::GetCommandLineA();
    return line != nullptr ? std::string(line) : std::string();
}

}  // namespace os::win32
