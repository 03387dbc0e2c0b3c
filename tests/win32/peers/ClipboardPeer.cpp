// Another process on the clipboard, for the Windows backend's tests.
//
//   pastrix_clipboard_peer set TEXT HEX [FORMAT]
//                                         puts TEXT as CF_TEXT and the bytes HEX (two hex digits
//                                         each) under the registered FORMAT ("Pastrix Test
//                                         Format" when left out), then exits
//   pastrix_clipboard_peer hold READY GO  opens the clipboard, signals the event READY and
//                                         keeps the clipboard open until the event GO (10 s at
//                                         most)
//   pastrix_clipboard_peer marks          reads the clipboard as a clipboard history would:
//                                         exits 0 when it carries all four marks that say "do
//                                         not record", each holding a 32-bit 0, else 5
//
// Exit codes: 0 done, 2 bad arguments, 3 the clipboard refused, 4 an event was missing, 5 the
// marks are not all there.
#include <cstring>
#include <string>
#include <vector>
#include <windows.h>

namespace {

bool parseHex(const char* text, std::vector<unsigned char>& bytes) {
    const std::size_t length = std::strlen(text);
    if (length % 2 != 0) {
        return false;
    }
    for (std::size_t i = 0; i < length; i += 2) {
        const std::string pair(text + i, 2);
        char* end = nullptr;
        const unsigned long value = std::strtoul(pair.c_str(), &end, 16);
        if (end != pair.c_str() + 2) {
            return false;
        }
        bytes.push_back(static_cast<unsigned char>(value));
    }
    return true;
}

bool put(UINT format, const void* bytes, std::size_t size) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
    if (block == nullptr) {
        return false;
    }
    std::memcpy(GlobalLock(block), bytes, size);
    GlobalUnlock(block);
    if (SetClipboardData(format, block) == nullptr) {
        GlobalFree(block);
        return false;
    }
    return true;
}

int set(const char* text, const char* hex, const char* formatName) {
    std::vector<unsigned char> bytes;
    if (!parseHex(hex, bytes) || bytes.empty()) {
        return 2;
    }
    const UINT format = RegisterClipboardFormatA(formatName);
    if (format == 0 || !OpenClipboard(nullptr)) {
        return 3;
    }
    const bool done = EmptyClipboard() && put(CF_TEXT, text, std::strlen(text) + 1) &&
                      put(format, bytes.data(), bytes.size());
    CloseClipboard();
    return done ? 0 : 3;
}

int hold(const char* ready, const char* go) {
    HANDLE readyEvent = OpenEventA(EVENT_MODIFY_STATE, FALSE, ready);
    HANDLE goEvent = OpenEventA(SYNCHRONIZE, FALSE, go);
    if (readyEvent == nullptr || goEvent == nullptr) {
        return 4;
    }
    if (!OpenClipboard(nullptr)) {
        return 3;
    }
    SetEvent(readyEvent);
    WaitForSingleObject(goEvent, 10000);
    CloseClipboard();
    return 0;
}

int marks() {
    if (!OpenClipboard(nullptr)) {
        return 3;
    }
    int missing = 0;
    for (const char* name :
         {"ExcludeClipboardContentFromMonitorProcessing", "Clipboard Viewer Ignore",
          "CanIncludeInClipboardHistory", "CanUploadToCloudClipboard"}) {
        HANDLE data = GetClipboardData(RegisterClipboardFormatA(name));
        const void* bytes = data != nullptr ? GlobalLock(data) : nullptr;
        DWORD value = 1;
        if (bytes != nullptr && GlobalSize(data) >= sizeof(value)) {
            std::memcpy(&value, bytes, sizeof(value));
        }
        if (bytes != nullptr) {
            GlobalUnlock(data);
        }
        missing += value == 0 ? 0 : 1;
    }
    CloseClipboard();
    return missing == 0 ? 0 : 5;
}

}  // namespace

int main(int argc, char** argv) {
    if ((argc == 4 || argc == 5) && std::strcmp(argv[1], "set") == 0) {
        return set(argv[2], argv[3], argc == 5 ? argv[4] : "Pastrix Test Format");
    }
    if (argc == 2 && std::strcmp(argv[1], "marks") == 0) {
        return marks();
    }
    if (argc == 4 && std::strcmp(argv[1], "hold") == 0) {
        return hold(argv[2], argv[3]);
    }
    return 2;
}
