#include "HookLibraryModule.h"

namespace pastrix::tests::hooklib {

namespace entry = windows::hook::entry;

HookLibraryModule::HookLibraryModule()
    : library(LoadLibraryA(PASTRIX_HOOK_LIBRARY_PATH)),
      keyboardIsInitiated(entry<windows::hook::IsInitiatedFunction>(entry::KeyboardIsInitiated)),
      mouseIsInitiated(entry<windows::hook::IsInitiatedFunction>(entry::MouseIsInitiated)),
      keyboardInitializer(entry<windows::hook::InitializerFunction>(entry::KeyboardInitializer)),
      mouseInitializer(entry<windows::hook::InitializerFunction>(entry::MouseInitializer)),
      keyboardDeinitializer(
          entry<windows::hook::DeinitializerFunction>(entry::KeyboardDeinitializer)),
      mouseDeinitializer(entry<windows::hook::DeinitializerFunction>(entry::MouseDeinitializer)),
      keyboardProcedure(entry<HOOKPROC>(entry::KeyboardProcedure)),
      mouseProcedure(entry<HOOKPROC>(entry::MouseProcedure)),
      getAttachThreadInputId(
          entry<windows::hook::GetAttachThreadInputIdFunction>(entry::GetAttachThreadInputId)),
      setAttachThreadInputId(
          entry<windows::hook::SetAttachThreadInputIdFunction>(entry::SetAttachThreadInputId)),
      keyboardSetSlotKeys(entry<windows::hook::SetSlotKeysFunction>(entry::KeyboardSetSlotKeys)),
      keyboardReleaseTyping(
          entry<windows::hook::ReleaseTypingFunction>(entry::KeyboardReleaseTyping)) {}

HookLibraryModule::~HookLibraryModule() {
    unload();
}

template <typename Function>
Function HookLibraryModule::entry(const char* name) const {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(find(name)));
}

FARPROC HookLibraryModule::find(const char* name) const {
    return library != nullptr ? GetProcAddress(library, name) : nullptr;
}

std::set<std::string> HookLibraryModule::exportedNames() const {
    std::set<std::string> names;
    if (library == nullptr) {
        return names;
    }
    const auto* base = reinterpret_cast<const unsigned char*>(library);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& directory =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    if (directory.Size == 0) {
        return names;
    }
    const auto* exports =
        reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + directory.VirtualAddress);
    const auto* nameOffsets = reinterpret_cast<const DWORD*>(base + exports->AddressOfNames);
    for (DWORD i = 0; i < exports->NumberOfNames; ++i) {
        names.insert(reinterpret_cast<const char*>(base + nameOffsets[i]));
    }
    return names;
}

void HookLibraryModule::unload() {
    if (library != nullptr) {
        FreeLibrary(library);
        library = nullptr;
    }
}

}  // namespace pastrix::tests::hooklib
