#include "HookLibraryModule.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace pastrix::tests::hooklib {
namespace {

namespace entry = windows::hook::entry;

TEST(HookLibraryEntries, TheLibraryExportsExactlyItsElevenEntriesByTheirPlainNames) {
    const HookLibraryModule library;
    ASSERT_NE(library.module(), nullptr) << PASTRIX_HOOK_LIBRARY_PATH;

    EXPECT_THAT(
        library.exportedNames(),
        ::testing::UnorderedElementsAre(
            entry::KeyboardIsInitiated, entry::MouseIsInitiated, entry::KeyboardInitializer,
            entry::MouseInitializer, entry::KeyboardDeinitializer, entry::MouseDeinitializer,
            entry::KeyboardProcedure, entry::MouseProcedure, entry::GetAttachThreadInputId,
            entry::SetAttachThreadInputId, entry::KeyboardSetSlotKeys));
    for (const char* name :
         {entry::KeyboardIsInitiated, entry::MouseIsInitiated, entry::KeyboardInitializer,
          entry::MouseInitializer, entry::KeyboardDeinitializer, entry::MouseDeinitializer,
          entry::KeyboardProcedure, entry::MouseProcedure, entry::GetAttachThreadInputId,
          entry::SetAttachThreadInputId, entry::KeyboardSetSlotKeys}) {
        EXPECT_NE(library.find(name), nullptr) << name;
    }
}

}  // namespace
}  // namespace pastrix::tests::hooklib
