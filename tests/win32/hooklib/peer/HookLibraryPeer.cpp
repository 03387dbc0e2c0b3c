// A second process for the hook library's tests: loads the library and prints what it says is
// set up, as another copy of the program would see it.
//
//   peer LIBRARY            prints "keyboard=K mouse=M thread=T"
//   peer LIBRARY register N registers thread N first

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <windows.h>

namespace {

template <typename Function>
Function entry(HMODULE library, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: peer LIBRARY [register THREAD]\n");
        return 2;
    }
    HMODULE library = LoadLibraryA(argv[1]);
    if (library == nullptr) {
        std::fprintf(stderr, "cannot load %s: error %lu\n", argv[1], GetLastError());
        return 3;
    }
    using Query = std::int32_t (*)();
    using Register = void (*)(std::int32_t);
    const auto keyboard = entry<Query>(library, "keyboardIsInitiated");
    const auto mouse = entry<Query>(library, "mouseIsInitiated");
    const auto thread = entry<Query>(library, "getAttachThreadInputId");
    const auto registerThread = entry<Register>(library, "setAttachThreadInputId");
    if (keyboard == nullptr || mouse == nullptr || thread == nullptr || registerThread == nullptr) {
        std::fprintf(stderr, "an entry is missing\n");
        return 4;
    }
    if (argc >= 4 && std::strcmp(argv[2], "register") == 0) {
        registerThread(static_cast<std::int32_t>(std::strtol(argv[3], nullptr, 10)));
    }
    std::printf("keyboard=%d mouse=%d thread=%d\n", static_cast<int>(keyboard()),
                static_cast<int>(mouse()), static_cast<int>(thread()));
    std::fflush(stdout);
    return 0;
}
