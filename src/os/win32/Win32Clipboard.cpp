#include "os/win32/Win32Clipboard.h"

#include "os/common/ClipboardMarks.h"

#include <chrono>
#include <windows.h>
// After windows.h, which it relies on.
#include <algorithm>
#include <cstring>
#include <ole2.h>

namespace os::win32 {

namespace {

// OLE for the life of the calling thread. OleInitialize is counted per thread, so each
// successful call (S_OK or S_FALSE) is matched by one OleUninitialize, at thread exit.
class OleThreadGuard {
public:
    OleThreadGuard() : result_(OleInitialize(nullptr)) {}
    ~OleThreadGuard() {
        if (SUCCEEDED(result_)) {
            OleUninitialize();
        }
    }
    OleThreadGuard(const OleThreadGuard&) = delete;
    OleThreadGuard& operator=(const OleThreadGuard&) = delete;

    HRESULT result() const { return result_; }

private:
    HRESULT result_;
};

HRESULT initialiseOle() {
    thread_local OleThreadGuard guard;
    return guard.result();
}

void setLastErrorFrom(HRESULT result) {
    if (HRESULT_FACILITY(result) == FACILITY_WIN32) {
        SetLastError(static_cast<DWORD>(HRESULT_CODE(result)));
    } else {
        SetLastError(static_cast<DWORD>(result));
    }
}

// Releases the data object and the medium whatever path getData leaves by.
struct DataObjectRelease {
    IDataObject* object = nullptr;
    ~DataObjectRelease() {
        if (object != nullptr) {
            object->Release();
        }
    }
};

struct MediumRelease {
    STGMEDIUM medium{};
    bool held = false;
    ~MediumRelease() {
        if (held) {
            ReleaseStgMedium(&medium);
        }
    }
};

// Whether a format's data is a handle to a system object rather than a memory block.
bool isObjectFormat(unsigned format) {
    switch (format) {
        case CF_BITMAP:
        case CF_METAFILEPICT:
        case CF_PALETTE:
        case CF_ENHMETAFILE:
        case CF_DSPBITMAP:
        case CF_DSPMETAFILEPICT:
        case CF_DSPENHMETAFILE:
        case CF_OWNERDISPLAY:
            return true;
        default:
            // The private GDI range holds object handles the system deletes with DeleteObject.
            return format >= CF_GDIOBJFIRST && format <= CF_GDIOBJLAST;
    }
}

}  // namespace

bool Win32Clipboard::open(WindowHandle owner) {
    // Another program (a clipboard viewer, the application reading what was just offered)
    // holds the clipboard for a few milliseconds at a time; only one that keeps it is a
    // failure.
    const auto giveUp = std::chrono::steady_clock::now() + OpenBound;
    while (OpenClipboard(reinterpret_cast<HWND>(owner)) == FALSE) {
        if (GetLastError() != ERROR_ACCESS_DENIED || std::chrono::steady_clock::now() >= giveUp) {
            return false;
        }
        Sleep(OpenRetryPauseMs);
    }
    return true;
}

bool Win32Clipboard::close() {
    return CloseClipboard() != FALSE;
}

bool Win32Clipboard::empty() {
    return EmptyClipboard() != FALSE;
}

unsigned Win32Clipboard::enumFormats(unsigned format) {
    // The end of the list leaves the last error alone on some systems: clear it first so that
    // a stale code does not read as a failed enumeration.
    SetLastError(ERROR_SUCCESS);
    return EnumClipboardFormats(format);
}

ClipboardData Win32Clipboard::getData(unsigned format, MemoryHandle& block) {
    block = 0;
    if (isObjectFormat(format) || format > 0xFFFF) {
        setLastErrorFrom(DV_E_FORMATETC);
        return ClipboardData::NotDelivered;
    }
    const HRESULT initialised = initialiseOle();
    if (FAILED(initialised)) {
        setLastErrorFrom(initialised);
        return ClipboardData::NoDataObject;
    }
    DataObjectRelease data;
    const HRESULT got = OleGetClipboard(&data.object);
    if (FAILED(got) || data.object == nullptr) {
        setLastErrorFrom(FAILED(got) ? got : E_UNEXPECTED);
        data.object = nullptr;
        return ClipboardData::NoDataObject;
    }

    FORMATETC wanted{static_cast<CLIPFORMAT>(format), nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    MediumRelease medium;
    const HRESULT read = data.object->GetData(&wanted, &medium.medium);
    if (FAILED(read)) {
        setLastErrorFrom(read);
        return ClipboardData::NotDelivered;
    }
    medium.held = true;
    // The owner answers what it likes: only a real memory block is copied.
    if (medium.medium.tymed != TYMED_HGLOBAL || medium.medium.hGlobal == nullptr) {
        setLastErrorFrom(DV_E_TYMED);
        return ClipboardData::NotDelivered;
    }
    SetLastError(ERROR_SUCCESS);
    HANDLE copy =
        OleDuplicateData(medium.medium.hGlobal, static_cast<CLIPFORMAT>(format), GMEM_MOVEABLE);
    if (copy == nullptr) {
        // A block too large to copy, or a handle that is no memory block at all.
        if (GetLastError() == ERROR_SUCCESS) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        }
        return ClipboardData::NotDelivered;
    }
    block = reinterpret_cast<MemoryHandle>(copy);
    return ClipboardData::Delivered;
}

MemoryHandle Win32Clipboard::setData(unsigned format, MemoryHandle block) {
    if (block == 0) {
        // Rendering on request would need a window that answers WM_RENDERFORMAT.
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    return reinterpret_cast<MemoryHandle>(
        SetClipboardData(format, reinterpret_cast<HANDLE>(block)));
}

bool Win32Clipboard::isFormatAvailable(unsigned format) const {
    return IsClipboardFormatAvailable(format) != FALSE;
}

unsigned Win32Clipboard::registerFormat(const std::string& name) {
    if (name.find('\0') != std::string::npos) {
        // The system would register only the part before the zero, a different name.
        SetLastError(ERROR_INVALID_NAME);
        return 0;
    }
    return RegisterClipboardFormatA(name.c_str());
}

int Win32Clipboard::getFormatName(unsigned format, std::string& name, int bufferSize) const {
    name.clear();
    if (bufferSize <= 0) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    // Some systems give nothing at all, rather than the start, for a name longer than the
    // buffer: read the whole name (an atom's name has at most 255 characters) and cut it here.
    char buffer[256] = {};
    const int length = GetClipboardFormatNameA(format, buffer, sizeof(buffer));
    if (length <= 0) {
        return 0;
    }
    name.assign(buffer, static_cast<std::size_t>(std::min(length, bufferSize - 1)));
    return static_cast<int>(name.size());
}

bool Win32Clipboard::markTransient() {
    for (const char* name : common::ClipboardMarks::windowsMarks()) {
        const UINT format = RegisterClipboardFormatA(name);
        if (format == 0) {
            return false;
        }
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, sizeof(DWORD));
        if (block == nullptr) {
            return false;
        }
        void* bytes = GlobalLock(block);
        if (bytes == nullptr) {
            GlobalFree(block);
            return false;
        }
        const DWORD zero = 0;
        std::memcpy(bytes, &zero, sizeof zero);
        GlobalUnlock(block);
        if (SetClipboardData(format, block) == nullptr) {
            const DWORD reason = GetLastError();
            GlobalFree(block);
            SetLastError(reason);
            return false;
        }
    }
    return true;
}

bool Win32Clipboard::isMark(unsigned format) const {
    std::string name;
    return getFormatName(format, name, 256) > 0 && common::ClipboardMarks::isWindowsMark(name);
}

bool Win32Clipboard::marksSecret(unsigned format, const std::string& bytes) const {
    std::string name;
    return getFormatName(format, name, 256) > 0 && common::ClipboardMarks::isWindowsMark(name) &&
           common::ClipboardMarks::marksSecret(name, bytes);
}

bool Win32Clipboard::changeClipboardChain(WindowHandle remove, WindowHandle next) {
    return ChangeClipboardChain(reinterpret_cast<HWND>(remove), reinterpret_cast<HWND>(next)) !=
           FALSE;
}

bool Win32Clipboard::offerClipboardAsPrimary() {
    SetLastError(ERROR_NOT_SUPPORTED);
    return false;
}

bool Win32Clipboard::getPrimaryText(std::string& text) {
    text.clear();
    SetLastError(ERROR_NOT_SUPPORTED);
    return false;
}

}  // namespace os::win32
