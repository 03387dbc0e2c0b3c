#pragma once

#include "windows/hook/HookLibrary.h"

#include <set>
#include <string>
#include <windows.h>

namespace pastrix::tests::hooklib {

// The built clipboard.dll, loaded by path, with its entries in the types the program uses.
class HookLibraryModule {
    // First, so that it is loaded before the entries are looked up.
    HMODULE library;

public:
    HookLibraryModule();
    ~HookLibraryModule();
    HookLibraryModule(const HookLibraryModule&) = delete;
    HookLibraryModule& operator=(const HookLibraryModule&) = delete;

    HMODULE module() const { return library; }
    // Null when the library has no such entry.
    FARPROC find(const char* name) const;
    // The names in the library's export directory.
    std::set<std::string> exportedNames() const;
    // Unloads the library early; the entries must not be called afterwards.
    void unload();

    windows::hook::IsInitiatedFunction keyboardIsInitiated;
    windows::hook::IsInitiatedFunction mouseIsInitiated;
    windows::hook::InitializerFunction keyboardInitializer;
    windows::hook::InitializerFunction mouseInitializer;
    windows::hook::DeinitializerFunction keyboardDeinitializer;
    windows::hook::DeinitializerFunction mouseDeinitializer;
    HOOKPROC keyboardProcedure;
    HOOKPROC mouseProcedure;
    windows::hook::GetAttachThreadInputIdFunction getAttachThreadInputId;
    windows::hook::SetAttachThreadInputIdFunction setAttachThreadInputId;
    windows::hook::SetSlotKeysFunction keyboardSetSlotKeys;
    windows::hook::ReleaseTypingFunction keyboardReleaseTyping;

private:
    template <typename Function>
    Function entry(const char* name) const;
};

}  // namespace pastrix::tests::hooklib
