#include "os/common/ClipboardMarks.h"

#include <gtest/gtest.h>

namespace {

using os::common::ClipboardMarks;

// Owners write the hint's value in their own ways; only "secret" means secret.
TEST(ClipboardMarksTest, TheX11HintIsSecretOnlyWhenItSaysSo) {
    const std::string hint = "x-kde-passwordManagerHint";
    EXPECT_TRUE(ClipboardMarks::marksSecret(hint, "secret"));
    EXPECT_TRUE(ClipboardMarks::marksSecret(hint, std::string("secret\0", 7)));
    EXPECT_TRUE(ClipboardMarks::marksSecret(hint, "secret\r\n"));
    EXPECT_FALSE(ClipboardMarks::marksSecret(hint, "public"));
    EXPECT_FALSE(ClipboardMarks::marksSecret(hint, "secretive"));
    EXPECT_FALSE(ClipboardMarks::marksSecret(hint, ""));
    // X11 targets are atoms: their names are exact.
    EXPECT_FALSE(ClipboardMarks::marksSecret("X-KDE-PASSWORDMANAGERHINT", "secret"));
}

TEST(ClipboardMarksTest, WindowsMarksAreSecretByPresenceOrByAHistoryPermissionOfZero) {
    const std::string zero(4, '\0');
    const std::string one("\1\0\0\0", 4);
    EXPECT_TRUE(ClipboardMarks::marksSecret("ExcludeClipboardContentFromMonitorProcessing", one));
    EXPECT_TRUE(ClipboardMarks::marksSecret("CLIPBOARD VIEWER IGNORE", ""));
    EXPECT_TRUE(ClipboardMarks::marksSecret("CanIncludeInClipboardHistory", zero));
    EXPECT_FALSE(ClipboardMarks::marksSecret("CanIncludeInClipboardHistory", one));
    // A value with only its high byte set is not 0; a block too short for a DWORD permits
    // nothing.
    EXPECT_FALSE(
        ClipboardMarks::marksSecret("CanIncludeInClipboardHistory", std::string("\0\0\0\1", 4)));
    EXPECT_TRUE(ClipboardMarks::marksSecret("CanIncludeInClipboardHistory", "\1"));
    EXPECT_FALSE(ClipboardMarks::marksSecret("CanUploadToCloudClipboard", zero));
    EXPECT_FALSE(ClipboardMarks::marksSecret("HTML Format", zero));
}

}  // namespace
