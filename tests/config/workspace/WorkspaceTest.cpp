#include "config/coolkeys/CKEntry.h"
#include "config/workspace/Workspace.h"
#include "io/file/PlainFileReader.h"
#include "io/file/PlainFileWriter.h"
#include "os/ErrorCodes.h"
#include "support/PlatformText.h"
#include "support/RecordingReporter.h"
#include "support/SimDesktopTest.h"
#include "support/SlotFileBytes.h"
#include "windows/file/WindowsFileException.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#if !defined(_WIN32)
#include <sys/stat.h>
#endif

#include <gtest/gtest.h>

namespace {

using namespace std::string_literals;
using products::pastrix::config::coolkeys::CKEntry;
using products::pastrix::config::workspace::Workspace;
using testing_support::RecordingReporter;
using testing_support::separator;
using testing_support::slotEntry;
using testing_support::slotHeader;

class WorkspaceTest : public testing_support::SimDesktopAssertionTest {
protected:
    // A path inside the test's directory as the workspace writes it: with the platform's
    // separator throughout.
    std::string path(const std::string& name) const {
        return SimDesktopAssertionTest::path(testing_support::nativePath(name));
    }
    std::string slotFile(const std::string& text, const std::string& caption = "") {
        return slotHeader(1, caption) + slotEntry(1, text + '\0');
    }
    void copyText(const std::string& text) { desktop.clipboard.setContent({{1, text + '\0'}}); }
    std::string textOf(unsigned slot) {
        const auto& clipboard = workspace.getClipboards()[slot];
        return clipboard ? clipboard->getText() : "(empty)";
    }
    std::vector<std::string> coolKeyFiles() {
        std::vector<std::string> names;
        for (const auto& file : std::filesystem::directory_iterator(directory / "ws")) {
            if (file.path().extension() == ".ckf") {
                names.push_back(file.path().filename().string());
            }
        }
        return names;
    }
    std::unique_ptr<CKEntry> coolKey(const std::string& abbreviation, const std::string& text) {
        auto entry = std::make_unique<CKEntry>(reader, writer);
        entry->setAbbreviation(abbreviation);
        entry->setExpand(text);
        return entry;
    }

    RecordingReporter reporter;
    Workspace workspace{reporter, 0};
    io::file::PlainFileReader reader;
    io::file::PlainFileWriter writer;
};

TEST_F(WorkspaceTest, OpensAnEmptyDirectoryAndClosesWithoutTouchingTheDisk) {
    std::filesystem::create_directory(directory / "ws");
    EXPECT_EQ(workspace.getName(), "No active workspace");
    EXPECT_EQ(workspace.getBaseDirectory(), directory.string() + separator());
    workspace.open("ws");
    const products::pastrix::config::workspace::ActiveWorkspace& active = workspace;
    EXPECT_TRUE(active.isLoaded());
    EXPECT_EQ(workspace.getName(), "ws");
    EXPECT_EQ(workspace.getDirectory(), path("ws") + separator());
    EXPECT_EQ(workspace.getClipboards().size(), 256u);
    EXPECT_TRUE(workspace.getCoolKeys().empty());
    EXPECT_TRUE(reporter.messages.empty());

    writeFile("ws/px_3.pxf", slotFile("three"));
    workspace.open("ws");
    workspace.clear();
    EXPECT_FALSE(workspace.isLoaded());
    EXPECT_EQ(workspace.getName(), "No active workspace");
    EXPECT_EQ(workspace.getDirectory(), "");
    EXPECT_EQ(textOf(3), "(empty)");
    EXPECT_EQ(readFile("ws/px_3.pxf"), slotFile("three"));
}

// A temporary file is either a kill's leftover or another process's save in progress (the
// program saving while pastrixctl opens the same workspace); removing the latter would make
// that save fail. Only temporaries that nobody has written to for a while are removed.
TEST_F(WorkspaceTest, AnOpenRemovesOldTemporaryFilesAndLeavesASaveInProgressAlone) {
    namespace fs = std::filesystem;
    fs::create_directory(directory / "ws");
    writeFile("ws/px_1.pxf", slotFile("one"));
    writeFile("ws/px_1.pxf.0123abcd~", slotFile("being saved"));
    writeFile("ws/px_2.pxf.89abcdef~", slotFile("left by a kill"));
    writeFile("ws/notes.txt~", "someone else's");
    const auto old = fs::file_time_type::clock::now() - std::chrono::hours(1);
    fs::last_write_time(directory / "ws" / "px_2.pxf.89abcdef~", old);
    fs::last_write_time(directory / "ws" / "notes.txt~", old);

    workspace.open("ws");
    EXPECT_TRUE(reporter.messages.empty());
    EXPECT_EQ(textOf(1), "one");
    EXPECT_EQ(textOf(2), "(empty)");
    EXPECT_TRUE(fs::exists(directory / "ws" / "px_1.pxf.0123abcd~"));
    EXPECT_FALSE(fs::exists(directory / "ws" / "px_2.pxf.89abcdef~"));
    EXPECT_TRUE(fs::exists(directory / "ws" / "notes.txt~"));
}

TEST_F(WorkspaceTest, AMissingDirectoryLeavesTheWorkspaceClosed) {
    workspace.open("gone");
    EXPECT_FALSE(workspace.isLoaded());
    EXPECT_EQ(workspace.getName(), "No active workspace");
    ASSERT_EQ(reporter.messages.size(), 1u);
    EXPECT_EQ(reporter.messages[0].rfind(
                  "Could not load the workspace gone\nMaybe it has been deleted.\nError when "
                  "trying to get first level directories.",
                  0),
              0u);
}

TEST_F(WorkspaceTest, EachBadFileIsReportedAndSkippedWhileTheOthersLoad) {
    writeFile("ws/notes.pxf", slotFile("no number"));
    writeFile("ws/px_x.pxf", slotFile("bad number"));
    writeFile("ws/px_0.pxf", slotFile("zero"));
    writeFile("ws/px_300.pxf", slotFile("too big"));
    writeFile("ws/px_07.pxf", slotFile("seven, older"));
    writeFile("ws/px_7.pxf", slotFile("seven", "Editor"));
    writeFile("ws/px_9.pxf", "short");
    writeFile("ws/px_65.pxf", slotFile("A"));
    writeFile("ws/readme.txt", "not read");
    writeFile("ws/ck_1.ckf", "brb" + std::string(253, '\0') + "be right back");
    writeFile("ws/ck_2.ckf", "too short");
    workspace.open("ws");

    ASSERT_TRUE(workspace.isLoaded());
    EXPECT_EQ(textOf(7), "seven");
    EXPECT_EQ(workspace.getClipboards()[7]->getCaption(), "Editor");
    EXPECT_EQ(workspace.getClipboards()[65]->getKeyName(), "A");
    EXPECT_EQ(textOf(9), "(empty)");
    int filled = 0;
    for (const auto& clipboard : workspace.getClipboards()) {
        filled += clipboard ? 1 : 0;
    }
    EXPECT_EQ(filled, 2);
    ASSERT_EQ(workspace.getCoolKeys().size(), 1u);
    EXPECT_EQ(workspace.getCoolKeys()[0]->getExpand(), "be right back");

    const std::string illegal = "An illegal .pxf file was found in the workspace ws\nFilename: ";
    const std::vector<std::string> expected = {
        "An error occured when trying to load an .ckf file.\nWorkspace: ws\nFilename: " +
            path("ws/ck_2.ckf") + "\n\nException: Error when trying to load a Cool Keys",
        "An error occured when trying to load an .pxf file.\nWorkspace: ws\nFilename: " +
            path("ws/px_9.pxf") + "\n\nException: Error when trying to load clipboard",
        illegal + path("ws/notes.pxf"),
        illegal + path("ws/px_0.pxf") +
            "\n\nException: Error parsing the string [0.pxf] to an integer",
        illegal + path("ws/px_300.pxf") + "\n\nException: The slot number 300 is not between",
        illegal + path("ws/px_x.pxf") +
            "\n\nException: Error parsing the string [x.pxf] to an integer",
    };
    std::vector<std::string> shown = reporter.messages;
    std::sort(shown.begin(), shown.end());
    ASSERT_EQ(shown.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(shown[i].rfind(expected[i], 0), 0u) << shown[i];
    }
}

// Named pipes live in directories only on POSIX systems.
#if !defined(_WIN32)
TEST_F(WorkspaceTest, LinksPipesAndHugeFilesAreReportedAndNeverOpened) {
    namespace fs = std::filesystem;
    writeFile("elsewhere/px_1.pxf", slotFile("outside"));
    writeFile("elsewhere/ck_1.ckf", "brb" + std::string(253, '\0') + "outside");
    writeFile("ws/px_2.pxf", slotFile("two"));
    writeFile("ws/ck_2.ckf", "omw" + std::string(253, '\0') + "on my way");
    fs::create_symlink(directory / "elsewhere" / "px_1.pxf", directory / "ws" / "px_1.pxf");
    fs::create_symlink(directory / "elsewhere" / "ck_1.ckf", directory / "ws" / "ck_1.ckf");
    fs::create_symlink(directory / "nothing", directory / "ws" / "px_4.pxf");
    // Opening a pipe for reading waits for a writer that never comes.
    ASSERT_EQ(::mkfifo(path("ws/px_3.pxf").c_str(), 0600), 0);
    ASSERT_EQ(::mkfifo(path("ws/ck_3.ckf").c_str(), 0600), 0);
    // Sparse: no disk space, but a whole read would take 600 MB of memory.
    writeFile("ws/px_5.pxf", slotFile("huge"));
    fs::resize_file(directory / "ws" / "px_5.pxf", 600ULL * 1024 * 1024);
    workspace.open("ws");

    ASSERT_TRUE(workspace.isLoaded());
    EXPECT_EQ(textOf(2), "two");
    for (unsigned slot : {1U, 3U, 4U, 5U}) {
        EXPECT_EQ(textOf(slot), "(empty)") << slot;
    }
    ASSERT_EQ(workspace.getCoolKeys().size(), 1U);
    EXPECT_EQ(workspace.getCoolKeys()[0]->getExpand(), "on my way");
    std::vector<std::string> shown = reporter.messages;
    std::sort(shown.begin(), shown.end());
    const std::string slotLoad =
        "An error occured when trying to load an .pxf file.\nWorkspace: ws\nFilename: ";
    const std::string keyLoad =
        "An error occured when trying to load an .ckf file.\nWorkspace: ws\nFilename: ";
    const std::vector<std::string> expected = {
        keyLoad + path("ws/ck_1.ckf") +
            "\n\nException: Error when trying to load a Cool Keys "
            "entry. \nFilename: " +
            path("ws/ck_1.ckf") + "\nThe file is a symbolic link, not a plain file",
        keyLoad + path("ws/ck_3.ckf") +
            "\n\nException: Error when trying to load a Cool Keys "
            "entry. \nFilename: " +
            path("ws/ck_3.ckf") + "\nThe file is a device, a pipe or a socket, not a plain file",
        slotLoad + path("ws/px_1.pxf") +
            "\n\nException: Error when trying to load clipboard from file. Filename: " +
            path("ws/px_1.pxf") + "\nException: The file is a symbolic link",
        slotLoad + path("ws/px_3.pxf") +
            "\n\nException: Error when trying to load clipboard from file. Filename: " +
            path("ws/px_3.pxf") + "\nException: The file is a device, a pipe or a socket",
        slotLoad + path("ws/px_4.pxf") +
            "\n\nException: Error when trying to load clipboard from file. Filename: " +
            path("ws/px_4.pxf") + "\nException: The file is a symbolic link",
        slotLoad + path("ws/px_5.pxf") +
            "\n\nException: Error when trying to load clipboard from file. Filename: " +
            path("ws/px_5.pxf") +
            "\nException: The file is 629145600 bytes long, more than the largest file of this "
            "kind, 536870912 bytes; it was not read.",
    };
    ASSERT_EQ(shown.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(shown[i].rfind(expected[i], 0), 0U) << shown[i];
    }
    EXPECT_EQ(readFile("elsewhere/px_1.pxf"), slotFile("outside"));

    // Under a size limit the bound is the limit and what the file holds besides the data.
    reporter.messages.clear();
    fs::remove(directory / "ws" / "px_5.pxf");
    writeFile("ws/px_6.pxf", slotFile(std::string(999, 'x')));
    writeFile("ws/px_7.pxf", slotFile("seven"));
    fs::resize_file(directory / "ws" / "px_7.pxf", 1000 + 260 + 8 * 1024 + 1);
    workspace.setSizeLimit(1000);
    workspace.open("ws");
    EXPECT_EQ(textOf(6), std::string(999, 'x'));
    EXPECT_EQ(textOf(7), "(empty)");
    EXPECT_EQ(std::count_if(reporter.messages.begin(), reporter.messages.end(),
                            [](const std::string& m) {
                                return m.find(
                                           "more than the largest file of this kind, 9452 "
                                           "bytes") != std::string::npos;
                            }),
              1);
}
#endif

TEST_F(WorkspaceTest, ANameThatLeadsOutsideTheBaseIsRefused) {
    namespace fs = std::filesystem;
    fs::create_directories(directory / "base" / "inside");
    writeFile("secret/px_8.pxf", slotFile("secret"));
    std::error_code linkFailure;
    fs::create_directory_symlink(directory / "secret", directory / "base" / "link", linkFailure);
    Workspace below(reporter, 0, path("base"));

    std::vector<std::string> names{
        "..", ".", "../secret", "inside/..", "inside\\x", "", std::string("in\0side", 7)};
    if (!linkFailure) {
        names.push_back("link");
    }
    for (const std::string& name : names) {
        reporter.messages.clear();
        below.open(name);
        EXPECT_FALSE(below.isLoaded()) << name;
        ASSERT_EQ(reporter.messages.size(), 1U) << name;
        EXPECT_EQ(reporter.messages[0].rfind("Could not load the workspace " + name +
                                                 "\nMaybe it has been deleted.\nThe workspace ",
                                             0),
                  0U)
            << reporter.messages[0];
    }
    if (linkFailure) {
        // Without links, at least a plain folder of the base still opens.
        reporter.messages.clear();
        below.open("inside");
        EXPECT_TRUE(below.isLoaded());
        EXPECT_TRUE(reporter.messages.empty());
        GTEST_SKIP() << "this system cannot make symbolic links: " << linkFailure.message();
    }
    EXPECT_NE(reporter.messages[0].find("leads to " + path("secret") + ", which is outside"),
              std::string::npos)
        << reporter.messages[0];

    // A link to another folder of the base stays inside it.
    fs::create_directory_symlink(directory / "base" / "inside", directory / "base" / "alias");
    reporter.messages.clear();
    below.open("alias");
    EXPECT_TRUE(below.isLoaded());
    below.open("inside");
    EXPECT_TRUE(below.isLoaded());
    EXPECT_TRUE(reporter.messages.empty());
}

TEST_F(WorkspaceTest, OnlyTheFileNameNamesTheSlot) {
    // An underscore in the workspace's own name must not make "notes.pxf" a slot file.
    writeFile("my_7ws/notes.pxf", slotFile("notes"));
    workspace.open("my_7ws");
    EXPECT_TRUE(workspace.isLoaded());
    EXPECT_EQ(textOf(7), "(empty)");
    ASSERT_EQ(reporter.messages.size(), 1u);
    EXPECT_NE(reporter.messages[0].find("An illegal .pxf file"), std::string::npos);
}

TEST_F(WorkspaceTest, SlotOf255LoadsAfterTheKeyNameReport) {
    writeFile("ws/px_255.pxf", slotFile("last"));
    workspace.open("ws");
    EXPECT_EQ(textOf(255), "last");
    EXPECT_TRUE(assertions.reported("virtualKey >=1 && virtualKey <= 254"));
}

TEST_F(WorkspaceTest, FillingASlotFromTheClipboard) {
    std::filesystem::create_directory(directory / "ws");
    workspace.open("ws");
    EXPECT_FALSE(workspace.setFromCurrentClipboard(65));  // nothing copied yet

    copyText("first");
    EXPECT_TRUE(workspace.setFromCurrentClipboard(65));
    EXPECT_EQ(textOf(65), "first");
    EXPECT_EQ(readFile("ws/px_65.pxf"), "");  // the disk is not touched

    desktop.clipboard.setContent({});
    EXPECT_FALSE(workspace.setFromCurrentClipboard(65));
    copyText("second");
    desktop.clipboard.fail(os::sim::SimClipboard::Operation::Open, os::error::AccessDenied);
    EXPECT_FALSE(workspace.setFromCurrentClipboard(65));
    EXPECT_EQ(textOf(65), "first");
    ASSERT_EQ(reporter.messages.size(), 1u);
    EXPECT_EQ(reporter.messages[0].rfind(
                  "An error occured when trying to set a clipboard from the current windows "
                  "clipboard.\nError when opening the clipboard.\n",
                  0),
              0u);
}

TEST_F(WorkspaceTest, SlotsAboveTheSizeLimitStayInMemory) {
    writeFile("ws/px_66.pxf", slotFile("older"));
    workspace.setSizeLimit(1000);
    workspace.open("ws");

    copyText(std::string(1499, 'b'));
    ASSERT_TRUE(workspace.setFromCurrentClipboard(66));
    workspace.saveClipboard(66);
    EXPECT_EQ(readFile("ws/px_66.pxf"), slotFile("older"));
    EXPECT_EQ(textOf(66), std::string(1499, 'b'));

    copyText("small");
    ASSERT_TRUE(workspace.setFromCurrentClipboard(67));
    workspace.getClipboards()[67]->setCaption("Terminal");
    workspace.saveClipboard(67);
    EXPECT_EQ(readFile("ws/px_67.pxf"), slotFile("small", "Terminal"));

    // Opening again loads the disk's state: the large content is gone, the older file is back.
    workspace.open("ws");
    EXPECT_EQ(textOf(66), "older");
    EXPECT_EQ(textOf(67), "small");

    workspace.setSizeLimit(0);
    copyText(std::string(1499, 'c'));
    ASSERT_TRUE(workspace.setFromCurrentClipboard(66));
    workspace.saveClipboard(66);
    EXPECT_EQ(readFile("ws/px_66.pxf").size(), 260u + 8u + 1500u);
    EXPECT_TRUE(reporter.messages.empty());
}

TEST_F(WorkspaceTest, DeletingSlots) {
    writeFile("ws/px_70.pxf", slotFile("seventy"));
    workspace.setSizeLimit(10);
    workspace.open("ws");
    workspace.deleteClipboard(70);
    EXPECT_EQ(textOf(70), "(empty)");
    EXPECT_FALSE(std::filesystem::exists(directory / "ws/px_70.pxf"));

    // A slot that was never written is emptied, and the missing file is reported.
    copyText("never written to disk");
    ASSERT_TRUE(workspace.setFromCurrentClipboard(71));
    workspace.saveClipboard(71);
    workspace.deleteClipboard(71);
    EXPECT_EQ(textOf(71), "(empty)");
    ASSERT_EQ(reporter.messages.size(), 1u);
    EXPECT_EQ(reporter.messages[0].rfind("Couldn't delete the file: " + path("ws/px_71.pxf"), 0),
              0u);

    workspace.deleteClipboard(72);
    workspace.saveClipboard(72);
    EXPECT_TRUE(assertions.reported("clipboard"));
    workspace.deleteClipboard(256);
    EXPECT_TRUE(assertions.reported("clipboardNumber < _clipboards.size()"));
}

TEST_F(WorkspaceTest, CoolKeysAreCreatedRewrittenAndDeleted) {
    std::filesystem::create_directory(directory / "ws");
    workspace.open("ws");
    // Created within the same second, each gets its own file.
    workspace.saveCoolKey(*coolKey("brb", "be right back"));
    workspace.saveCoolKey(*coolKey("omw", "on my way"));
    workspace.saveCoolKey(*coolKey("ty", "thank you"));
    ASSERT_EQ(workspace.getCoolKeys().size(), 3u);
    EXPECT_EQ(coolKeyFiles().size(), 3u);

    const std::string omwFile = workspace.getCoolKeys()[1]->getFilename();
    workspace.saveCoolKey(*coolKey("omw", "on my way home"));
    EXPECT_EQ(coolKeyFiles().size(), 3u);
    EXPECT_EQ(workspace.getCoolKeys()[1]->getExpand(), "on my way home");
    EXPECT_EQ(io::file::PlainFileReader().read(omwFile, 0).substr(256), "on my way home");
    EXPECT_EQ(workspace.findCoolKey(*coolKey("OMW", "")), workspace.getCoolKeys().end());

    workspace.deleteCoolKey(*coolKey("omw", ""));
    ASSERT_EQ(workspace.getCoolKeys().size(), 2u);
    EXPECT_EQ(workspace.getCoolKeys()[0]->getAbbreviation(), "brb");
    EXPECT_EQ(workspace.getCoolKeys()[1]->getAbbreviation(), "ty");
    EXPECT_FALSE(std::filesystem::exists(omwFile));

    workspace.deleteCoolKey(*coolKey("xyz", ""));
    ASSERT_EQ(reporter.messages.size(), 1u);
    EXPECT_EQ(reporter.messages[0], "Couldn't find the Cool Key to delete.\nAbbreviation: xyz");

    workspace.open("ws");
    EXPECT_EQ(workspace.getCoolKeys().size(), 2u);
}

TEST_F(WorkspaceTest, CoolKeyFailuresLoseNothing) {
    std::filesystem::create_directory(directory / "ws");
    workspace.open("ws");
    workspace.saveCoolKey(*coolKey("sig", "Regards"));
    workspace.saveCoolKey(*coolKey(std::string(300, 'x'), "too long to keep"));
    EXPECT_EQ(workspace.getCoolKeys().size(), 1u);
    ASSERT_EQ(reporter.messages.size(), 1u);
    EXPECT_EQ(reporter.messages[0].rfind("Couldn't save the Cool Key.\nError when trying to save a "
                                         "Cool Keys entry. \nFilename: ",
                                         0),
              0u);

    // A rewrite that cannot be written leaves the entry as it was on disk.
    const std::string file = workspace.getCoolKeys()[0]->getFilename();
    std::filesystem::remove(file);
    std::filesystem::create_directory(file);
    workspace.saveCoolKey(*coolKey("sig", "Best regards"));
    EXPECT_EQ(workspace.getCoolKeys()[0]->getExpand(), "Regards");
    EXPECT_EQ(reporter.messages.size(), 2u);

    // Deleting removes the entry and passes the file's failure on.
    EXPECT_THROW(workspace.deleteCoolKey(*coolKey("sig", "")),
                 windows::file::CouldNotDeleteFileException);
    EXPECT_TRUE(workspace.getCoolKeys().empty());
}

}  // namespace
