#include "os/ErrorCodes.h"
#include "os/posix/PosixShell.h"
#include "support/SimDesktopTest.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

namespace {

using os::posix::PosixShell;

// Puts a fake desktop opener first on PATH; it appends each argument it gets, one per line,
// and then "--end--" to a log file.
class PosixShellTest : public testing_support::SimDesktopTest {
protected:
    PosixShellTest() : shell(desktop.errors) {
        const char* path = std::getenv("PATH");
        previousPath = path != nullptr ? path : "";
        const std::string bin = this->path("bin");
        writeFile("bin/xdg-open",
                  "#!/bin/sh\nfor argument in \"$@\"; do printf '%s\\n' \"$argument\" >> '" +
                      this->path("opened.log") + "'; done\nprintf -- '--end--\\n' >> '" +
                      this->path("opened.log") + "'\n");
        std::filesystem::permissions(bin + "/xdg-open", std::filesystem::perms::owner_all);
        ::setenv("PATH", (bin + ":" + previousPath).c_str(), 1);
    }
    ~PosixShellTest() override { ::setenv("PATH", previousPath.c_str(), 1); }

    // The arguments the opener received, once it has finished writing them.
    std::vector<std::string> openedWith() {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (std::chrono::steady_clock::now() < deadline) {
            const std::string log = readFile("opened.log");
            if (log.size() >= 8 && log.compare(log.size() - 8, 8, "--end--\n") == 0) {
                std::vector<std::string> lines;
                std::size_t begin = 0;
                for (std::size_t end; (end = log.find('\n', begin)) != std::string::npos;
                     begin = end + 1) {
                    lines.push_back(log.substr(begin, end - begin));
                }
                lines.pop_back();
                return lines;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        ADD_FAILURE() << "the opener never ran";
        return {};
    }

    PosixShell shell;
    std::string previousPath;
};

TEST_F(PosixShellTest, OpensAFileWithItsNameAsOneArgument) {
    const std::string name = "my $(touch pwned); doc's \"notes\".txt";
    writeFile(name, "text");
    EXPECT_GT(shell.shellExecute(0, "open", name, os::SwShowNormal), os::ShellExecuteFailureLimit);
    EXPECT_EQ(openedWith(), std::vector<std::string>{name});
    EXPECT_FALSE(std::filesystem::exists(path("pwned")));
}

TEST_F(PosixShellTest, ANameThatLooksLikeAnOptionStaysAName) {
    writeFile("-n.txt", "text");
    EXPECT_GT(shell.shellExecute(0, "", "-n.txt", os::SwShowNormal), os::ShellExecuteFailureLimit);
    EXPECT_EQ(openedWith(), std::vector<std::string>{"./-n.txt"});
}

TEST_F(PosixShellTest, AddressesGoToTheOpenerUnchanged) {
    EXPECT_GT(shell.shellExecute(0, "open", "mailto:support@pastrix.org", os::SwShowNormal),
              os::ShellExecuteFailureLimit);
    EXPECT_EQ(openedWith(), std::vector<std::string>{"mailto:support@pastrix.org"});
    std::filesystem::remove(path("opened.log"));
    EXPECT_EQ(shell.navigate(L"https://pastrix.org/?q=a b"), os::SOk);
    EXPECT_EQ(openedWith(), std::vector<std::string>{"https://pastrix.org/?q=a b"});
}

TEST_F(PosixShellTest, FailuresAreReportedAsTheShellReportsThem) {
    EXPECT_EQ(shell.shellExecute(0, "open", "missing.txt", os::SwShowNormal),
              os::SeErrFileNotFound);
    EXPECT_EQ(desktop.errors.lastError(), os::error::FileNotFound);
    EXPECT_EQ(shell.navigate(L"missing.html"), os::EFail);
    EXPECT_EQ(desktop.errors.lastError(), os::error::FileNotFound);

    writeFile("doc.txt", "text");
    EXPECT_EQ(shell.shellExecute(0, "print", "doc.txt", os::SwShowNormal), os::SeErrNoAssociation);
    EXPECT_EQ(desktop.errors.lastError(), os::error::NoAssociation);

    ::setenv("PATH", path("empty").c_str(), 1);
    EXPECT_EQ(shell.shellExecute(0, "open", "doc.txt", os::SwShowNormal), os::SeErrNoAssociation);
    EXPECT_EQ(desktop.errors.lastError(), os::error::NoAssociation);
    EXPECT_FALSE(std::filesystem::exists(path("opened.log")));
}

TEST(PosixShellAddressTest, TellsAddressesFromPaths) {
    for (const char* address : {"https://pastrix.org/", "mailto:a@b.org", "file:///tmp/x"}) {
        EXPECT_TRUE(PosixShell::isAddress(address)) << address;
    }
    for (const char* path : {"manual.html", "C:\\dir\\x", "/tmp/a:b", "dir/x:y", ":x", "1a:b"}) {
        EXPECT_FALSE(PosixShell::isAddress(path)) << path;
    }
}

}  // namespace
