#include "Command.h"
#include "config/workspace/Workspace.h"
#include "support/PlatformText.h"
#include "support/SimDesktopTest.h"
#include "support/SlotFileBytes.h"

#include <sstream>

#include <gtest/gtest.h>

namespace {

using namespace std::string_literals;
using testing_support::separator;
using testing_support::slotEntry;
using testing_support::slotHeader;

class NoReporter final : public windows::reporter::ErrorReporter {
public:
    void showError(const std::string& message) override { ADD_FAILURE() << message; }
};

class WorkspaceCommandsTest : public testing_support::SimDesktopTest {
protected:
    WorkspaceCommandsTest() {
        // A workspace filled the way the program fills it: copies into slots.
        NoReporter reporter;
        products::pastrix::config::workspace::Workspace workspace(reporter, 0);
        std::filesystem::create_directory(directory / "ws");
        workspace.open("ws");
        desktop.clipboard.setContent({{1, "hello\r\nworld\0"s}, {13, "h\0i\0"s}});
        workspace.setFromCurrentClipboard(65);
        workspace.getClipboards()[65]->setCaption("Editor\tdraft");
        workspace.saveClipboard(65);
        desktop.clipboard.setContent({{2, "", true}, {8, "DIB"}});
        workspace.setFromCurrentClipboard(112);
        workspace.saveClipboard(112);
        desktop.dialogs.clear();
    }

    int run(std::vector<std::string> arguments) {
        out.str("");
        err.str("");
        desktop.dialogs.clear();
        return pastrixctl::runCommandLine(arguments, out, err);
    }
    std::string shownText() {
        std::string text;
        for (const auto& box : desktop.dialogs.shown()) {
            text += box.caption + ": " + box.text + "\n";
        }
        return text;
    }

    std::ostringstream out;
    std::ostringstream err;
};

TEST_F(WorkspaceCommandsTest, ListsAndShowsSlots) {
    ASSERT_EQ(run({"workspace", "list", path("ws")}), 0) << shownText();
    EXPECT_EQ(out.str(),
              "Code\tKey\tCaption\tData type\tLocation\n"
              "65\tA\thello...\tText\tEditor\\tdraft\n"
              "112\tF1\tN/A\tBitmap\t\n");

    ASSERT_EQ(run({"workspace", "show", path("ws") + separator(), "65"}), 0) << shownText();
    EXPECT_EQ(out.str(),
              "Slot: 65\nKey: A\nLocation: Editor\\tdraft\nData type: Text\nSize: 17\n"
              "Format\tName\tSize\n1\tCF_TEXT\t13\n13\tCF_UNICODETEXT\t4\n");
    EXPECT_TRUE(shownText().empty());
#if defined(_WIN32)
    // Windows takes '/' in a path too, and so does the command line.
    const std::string forward = directory.generic_string();
    ASSERT_EQ(run({"workspace", "show", forward + "/ws/", "65"}), 0) << shownText();
    EXPECT_EQ(out.str().rfind("Slot: 65\n", 0), 0U);
#endif
}

TEST_F(WorkspaceCommandsTest, ExportsAndImportsFormatBytes) {
    ASSERT_EQ(run({"workspace", "export", path("ws"), "65", "CF_TEXT", path("text.bin")}), 0);
    EXPECT_EQ(readFile("text.bin"), "hello\r\nworld\0"s);
    ASSERT_EQ(run({"workspace", "export", path("ws"), "65", "13", "-"}), 0);
    EXPECT_EQ(out.str(), "h\0i\0"s);

    // Replacing a format keeps the order and caption; a new format is appended.
    writeFile("new.bin", "replaced\0"s);
    ASSERT_EQ(run({"workspace", "import", path("ws"), "65", "1", path("new.bin")}), 0);
    writeFile("html.bin", "<b>x</b>");
    ASSERT_EQ(run({"workspace", "import", path("ws"), "65", "0xC123", path("html.bin")}), 0);
    EXPECT_EQ(readFile("ws/px_65.pxf"), slotHeader(3, "Editor\tdraft") +
                                            slotEntry(1, "replaced\0"s) + slotEntry(13, "h\0i\0"s) +
                                            slotEntry(0xC123, "<b>x</b>"));

    ASSERT_EQ(run({"workspace", "import", path("ws"), "90", "CF_TEXT", path("new.bin")}), 0);
    EXPECT_EQ(readFile("ws/px_90.pxf"), slotHeader(1, "") + slotEntry(1, "replaced\0"s));
    EXPECT_TRUE(shownText().empty());
}

TEST_F(WorkspaceCommandsTest, ManagesCoolKeys) {
    ASSERT_EQ(run({"coolkeys", "add", path("ws"), "brb", "be right back"}), 0);
    writeFile("sig.txt", "Regards,\nMe");
    ASSERT_EQ(run({"coolkeys", "add", path("ws"), "sig", "--file", path("sig.txt")}), 0);
    ASSERT_EQ(run({"coolkeys", "add", path("ws"), "brb", "back soon"}), 0);
    ASSERT_EQ(run({"coolkeys", "list", path("ws")}), 0);
    std::istringstream rows(out.str());
    std::string row;
    std::vector<std::string> lines;
    while (std::getline(rows, row)) {
        lines.push_back(row.substr(0, row.rfind('\t')));  // the file names vary with the time
    }
    EXPECT_EQ(lines, (std::vector<std::string>{"Abbreviation\tExpansion", "brb\tback soon",
                                               "sig\tRegards,\\nMe"}));

    ASSERT_EQ(run({"coolkeys", "remove", path("ws"), "brb"}), 0);
    ASSERT_EQ(run({"coolkeys", "list", path("ws")}), 0);
    EXPECT_EQ(out.str().find("brb"), std::string::npos);
    EXPECT_TRUE(shownText().empty());
}

TEST_F(WorkspaceCommandsTest, FailuresPrintTheProgramsMessagesAndExitNonZero) {
    const struct {
        std::vector<std::string> arguments;
        int exitCode;
        std::string message;  // in a message box, or on the error stream for usage errors
    } cases[] = {
        {{"workspace", "list", path("gone")},
         1,
         "Pastrix Error: Could not load the workspace gone"},
        {{"workspace", "show", path("ws"), "66"}, 1, "The slot 66 of the workspace ws is empty."},
        {{"workspace", "export", path("ws"), "112", "CF_TEXT", "-"},
         1,
         "The slot 112 holds no data of the format 1."},
        {{"workspace", "import", path("ws"), "65", "1", path("none.bin")},
         1,
         "An error occured when trying to open the file for reading."},
        {{"coolkeys", "remove", path("ws"), "xyz"},
         1,
         "Couldn't find the Cool Key to delete.\nAbbreviation: xyz"},
        {{"coolkeys", "add", path("ws"), std::string(256, 'a'), "x"}, 1, "An abbreviation has 1"},
        {{"workspace", "show", path("ws"), "256"}, 2, "the slot must be a number from 1 to 255"},
        {{"workspace", "export", path("ws"), "65", "CF_NOTHING", "-"}, 2, "the format must be"},
        {{"workspace", "rename", path("ws")}, 2, "usage:"},
        {{"coolkeys"}, 2, "coolkeys remove DIR ABBREVIATION"},
        {{"coolkeys"}, 2, "restart it to use the\n    changes"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(run(c.arguments), c.exitCode) << c.message;
        const std::string shown = c.exitCode == 2 ? err.str() : shownText();
        EXPECT_NE(shown.find(c.message), std::string::npos) << shown;
    }
}

TEST_F(WorkspaceCommandsTest, AStrayFileIsReportedButTheRestIsListed) {
    writeFile("ws/px_x.pxf", "stray");
    EXPECT_EQ(run({"workspace", "list", path("ws")}), 1);
    EXPECT_NE(out.str().find("65\tA\thello..."), std::string::npos);
    EXPECT_NE(shownText().find("An illegal .pxf file was found in the workspace ws"),
              std::string::npos);
}

TEST_F(WorkspaceCommandsTest, AWorkspaceThatLeadsElsewhereIsRefused) {
    writeFile("victim/ck_1.ckf", "brb" + std::string(253, '\0') + "be right back");
    std::filesystem::create_directory(directory / "base");
    std::error_code linkFailure;
    std::filesystem::create_directory_symlink(directory / "victim", directory / "base" / "link",
                                              linkFailure);
    std::vector<std::string> workspaces{path("ws") + separator() + ".."};
    if (!linkFailure) {
        workspaces.push_back(path(testing_support::nativePath("base/link")));
    }
    for (const std::string& workspace : workspaces) {
        EXPECT_EQ(run({"coolkeys", "add", workspace, "omw", "on my way"}), 1) << workspace;
        EXPECT_NE(shownText().find("Pastrix Error: Could not load the workspace "),
                  std::string::npos)
            << shownText();
        EXPECT_EQ(run({"coolkeys", "remove", workspace, "brb"}), 1) << workspace;
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(directory / "victim"),
                            std::filesystem::directory_iterator()),
              1);
    EXPECT_EQ(readFile("victim/ck_1.ckf"), "brb" + std::string(253, '\0') + "be right back");
    if (linkFailure) {
        GTEST_SKIP() << "this system cannot make symbolic links: " << linkFailure.message();
    }
}

}  // namespace
