#include "os/ErrorCodes.h"
#include "os/x11/ClipboardFormatTable.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

#include <gtest/gtest.h>

namespace {

using os::x11::ClipboardFormatTable;
namespace fs = std::filesystem;

class ClipboardFormatTableTest : public testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/pastrix-formats.XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        directory = pattern;
        path = directory + "/pastrix/clipboard-formats";
    }
    void TearDown() override { fs::remove_all(directory); }

    void write(const std::string& text) {
        fs::create_directories(fs::path(path).parent_path());
        std::ofstream(path, std::ios::binary) << text;
    }
    std::string read(const std::string& file) {
        std::ifstream in(file, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }
    unsigned registered(ClipboardFormatTable& table, const std::string& name) {
        int error = os::error::Success;
        const unsigned id = table.registerName(name, error);
        EXPECT_EQ(error, os::error::Success) << name;
        return id;
    }

    std::string directory;
    std::string path;
};

TEST_F(ClipboardFormatTableTest, IdentifiersStayTheSameInTheNextRunAndAcrossProcesses) {
    unsigned html = 0;
    unsigned png = 0;
    {
        ClipboardFormatTable first(path);
        html = registered(first, "text/html");
        png = registered(first, "image/png");
        EXPECT_EQ(html, 0xC000u);
        EXPECT_EQ(png, 0xC001u);
        EXPECT_EQ(registered(first, "TEXT/HTML"), html);
    }
    ClipboardFormatTable next(path);
    EXPECT_EQ(next.find("image/png"), png);
    EXPECT_EQ(next.name(html), "text/html");
    EXPECT_TRUE(next.takeProblem().empty());

    // Another process that registers a name later is seen before a new identifier is taken.
    ClipboardFormatTable other(path);
    const unsigned uris = registered(other, "text/uri-list");
    const unsigned rtf = registered(next, "text/rtf");
    EXPECT_NE(uris, rtf);
    EXPECT_EQ(registered(next, "text/uri-list"), uris);
    EXPECT_EQ(ClipboardFormatTable(path).name(rtf), "text/rtf");
}

TEST_F(ClipboardFormatTableTest, RefusesNamesThatCannotBeStored) {
    ClipboardFormatTable table(path);
    for (const std::string& name :
         {std::string(), std::string("a\nb"), std::string("a\rb"), std::string("a\0b", 3)}) {
        int error = os::error::Success;
        EXPECT_EQ(table.registerName(name, error), 0u);
        EXPECT_EQ(error, os::error::InvalidParameter);
    }
    EXPECT_EQ(registered(table, "x-special/gnome-copied-files"), 0xC000u);
}

TEST_F(ClipboardFormatTableTest, ADamagedFileIsKeptAsideAndWhatCanBeReadSurvives) {
    write(
        "# comment\n"
        "C000 text/html\n"
        "C003 image/png\n"
        "garbage line\n"
        "C001 text/html\n"
        "0042 too/low\n"
        "C007\n");
    ClipboardFormatTable table(path);
    const std::string problem = table.takeProblem();
    EXPECT_NE(problem.find(path + " is damaged (line 4"), std::string::npos) << problem;
    EXPECT_TRUE(table.takeProblem().empty());
    EXPECT_EQ(read(path + ".damaged").substr(0, 9), "# comment");

    EXPECT_EQ(table.find("text/html"), 0xC000u);
    EXPECT_EQ(table.find("image/png"), 0xC003u);
    EXPECT_FALSE(table.find("too/low"));
    // No identifier written in the damaged file is handed out again.
    EXPECT_EQ(registered(table, "text/rtf"), 0xC008u);
    ClipboardFormatTable reread(path);
    EXPECT_TRUE(reread.takeProblem().empty());
    EXPECT_EQ(reread.find("image/png"), 0xC003u);
    EXPECT_EQ(reread.find("text/rtf"), 0xC008u);
}

TEST_F(ClipboardFormatTableTest, ATableThatCannotBeWrittenStillServesTheRunAndSaysSo) {
    // A file where the table's directory should be: nothing can be created below it, whatever
    // the rights of the user running the test.
    std::ofstream(directory + "/blocked") << "a file";
    ClipboardFormatTable table(directory + "/blocked/clipboard-formats");
    EXPECT_EQ(registered(table, "image/png"), 0xC000u);
    EXPECT_EQ(registered(table, "text/html"), 0xC001u);
    EXPECT_NE(table.takeProblem().find("could not be written"), std::string::npos);
    EXPECT_EQ(table.name(0xC000), "image/png");
    EXPECT_EQ(table.find("TEXT/HTML"), 0xC001u);
}

TEST_F(ClipboardFormatTableTest, DefaultPathFollowsTheUsersConfigurationDirectory) {
    const char* savedConfig = std::getenv("XDG_CONFIG_HOME");
    const std::string saved = savedConfig != nullptr ? savedConfig : "";
    const std::string savedHome = std::getenv("HOME") != nullptr ? std::getenv("HOME") : "";
    ::setenv("XDG_CONFIG_HOME", "/cfg", 1);
    EXPECT_EQ(ClipboardFormatTable::defaultPath(), "/cfg/pastrix/clipboard-formats");
    // A relative setting is not a valid one; the home directory's default applies.
    ::setenv("XDG_CONFIG_HOME", "relative", 1);
    ::setenv("HOME", "/home/u", 1);
    EXPECT_EQ(ClipboardFormatTable::defaultPath(), "/home/u/.config/pastrix/clipboard-formats");
    ::setenv("HOME", savedHome.c_str(), 1);
    if (savedConfig != nullptr) {
        ::setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
    } else {
        ::unsetenv("XDG_CONFIG_HOME");
    }
}

}  // namespace
