// Looks at the windows of the Wine desktop for the end-to-end tests, which click with xdotool
// where a user would see a control; and times gestures from inside Wine, where the release of
// Ctrl and the outcome are seen without a process start in between.
//
//   pastrix_window_probe control TITLE ID         screen centre "X Y" of the visible control
//   pastrix_window_probe text TITLE CLASS         the text of the first child of the class
//   pastrix_window_probe paste-ms TITLE CLASS     waits for Ctrl to be down then up, then for
//                                                 the child's text to change; prints the ms
//                                                 from the release to the change
//   pastrix_window_probe copy-ms FILE             the same, until FILE is written anew
//   pastrix_window_probe clipboard FORMAT         the clipboard's text, a line break, and the
//                                                 bytes of the registered FORMAT in hex
//
// Windows are found by their exact title. Exit codes: 0 done, 1 not found or timed out, 2 bad
// arguments.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

namespace {

constexpr DWORD BoundMs = 20000;

struct Search {
    int id = 0;
    const char* className = nullptr;
    HWND found = nullptr;
};

BOOL CALLBACK matchChild(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<Search*>(data);
    if (IsWindowVisible(window) == FALSE) {
        return TRUE;
    }
    if (search->className != nullptr) {
        char name[64] = {};
        GetClassNameA(window, name, sizeof(name));
        if (lstrcmpiA(name, search->className) != 0) {
            return TRUE;
        }
    } else if (GetDlgCtrlID(window) != search->id) {
        return TRUE;
    }
    search->found = window;
    return FALSE;
}

HWND child(HWND top, int id, const char* className) {
    Search search;
    search.id = id;
    search.className = className;
    EnumChildWindows(top, &matchChild, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND topLevel(const char* title) {
    return FindWindowA(nullptr, title);
}

int printCentre(HWND window, RECT rect) {
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    std::printf("%ld %ld\n", (rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    return 0;
}

std::string textOf(HWND window) {
    const auto length = static_cast<int>(SendMessageA(window, WM_GETTEXTLENGTH, 0, 0));
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    SendMessageA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(length));
    return text;
}

bool ctrlDown() {
    return (GetAsyncKeyState(VK_CONTROL) & 0x8000) != 0;
}

// Waits for Ctrl to go down and come up again; returns the tick of the release, 0 on timeout.
DWORD waitForCtrlRelease() {
    const DWORD start = GetTickCount();
    while (!ctrlDown()) {
        if (GetTickCount() - start > BoundMs) {
            return 0;
        }
        Sleep(1);
    }
    while (ctrlDown()) {
        if (GetTickCount() - start > BoundMs) {
            return 0;
        }
        Sleep(1);
    }
    return GetTickCount();
}

FILETIME lastWrite(const char* file) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    GetFileAttributesExA(file, GetFileExInfoStandard, &data);
    return data.ftLastWriteTime;
}

int printClipboard(const char* formatName) {
    if (OpenClipboard(nullptr) == FALSE) {
        return 1;
    }
    std::string text;
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        if (const auto* bytes = static_cast<const char*>(GlobalLock(data))) {
            text = bytes;
            GlobalUnlock(data);
        }
    }
    std::string hex;
    if (HANDLE data = GetClipboardData(RegisterClipboardFormatA(formatName))) {
        const auto* bytes = static_cast<const unsigned char*>(GlobalLock(data));
        const SIZE_T size = GlobalSize(data);
        for (SIZE_T i = 0; bytes != nullptr && i < size; ++i) {
            char pair[3];
            std::snprintf(pair, sizeof(pair), "%02x", bytes[i]);
            hex += pair;
        }
        GlobalUnlock(data);
    }
    CloseClipboard();
    std::printf("%s\n%s\n", text.c_str(), hex.c_str());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        return 2;
    }
    const std::string command = argv[1];
    if (command == "copy-ms") {
        const FILETIME before = lastWrite(argv[2]);
        const DWORD released = waitForCtrlRelease();
        while (released != 0 && GetTickCount() - released < BoundMs) {
            const FILETIME now = lastWrite(argv[2]);
            if (CompareFileTime(&now, &before) != 0) {
                std::printf("%lu\n", GetTickCount() - released);
                return 0;
            }
            Sleep(1);
        }
        return 1;
    }
    if (command == "clipboard") {
        return printClipboard(argv[2]);
    }
    HWND top = topLevel(argv[2]);
    if (top == nullptr || argc < 4) {
        return top == nullptr ? 1 : 2;
    }
    if (command == "control") {
        HWND control = child(top, std::atoi(argv[3]), nullptr);
        RECT rect;
        return control != nullptr && GetClientRect(control, &rect) ? printCentre(control, rect) : 1;
    }
    if (command == "text") {
        HWND control = child(top, 0, argv[3]);
        if (control == nullptr) {
            return 1;
        }
        std::fputs(textOf(control).c_str(), stdout);
        return 0;
    }
    if (command == "paste-ms") {
        HWND control = child(top, 0, argv[3]);
        if (control == nullptr) {
            return 1;
        }
        const std::string before = textOf(control);
        const DWORD released = waitForCtrlRelease();
        while (released != 0 && GetTickCount() - released < BoundMs) {
            if (textOf(control) != before) {
                std::printf("%lu\n", GetTickCount() - released);
                return 0;
            }
            Sleep(1);
        }
        return 1;
    }
    return 2;
}
