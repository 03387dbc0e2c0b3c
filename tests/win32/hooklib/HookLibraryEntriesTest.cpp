#include "HookLibraryModule.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace pastrix::tests::hooklib {
namespace {

namespace entry = windows::hook::entry;

TEST(HookLibraryEntries, TheLibraryExportsExactlyItsTwelveEntriesByTheirPlainNames) {
    const HookLibraryModule library;
    ASSERT_NE(library.module(), nullptr) << PASTRIX_HOOK_LIBRARY_PATH;

    EXPECT_THAT(library.exportedNames(),
                ::testing::UnorderedElementsAre(
                    entry::KeyboardIsInitiated, entry::MouseIsInitiated, entry::KeyboardInitializer,
                    entry::MouseInitializer, entry::KeyboardDeinitializer,
                    entry::MouseDeinitializer, entry::KeyboardProcedure, entry::MouseProcedure,
                    entry::GetAttachThreadInputId, entry::SetAttachThreadInputId,
                    entry::KeyboardSetSlotKeys, entry::KeyboardReleaseTyping));
    for (const char* name :
         {entry::KeyboardIsInitiated, entry::MouseIsInitiated, entry::KeyboardInitializer,
          entry::MouseInitializer, entry::KeyboardDeinitializer, entry::MouseDeinitializer,
          entry::KeyboardProcedure, entry::MouseProcedure, entry::GetAttachThreadInputId,
          entry::SetAttachThreadInputId, entry::KeyboardSetSlotKeys,
          entry::KeyboardReleaseTyping}) {
        EXPECT_NE(library.find(name), nullptr) << name;
    }
}

}  // namespace
}  // namespace pastrix::tests::hooklib
