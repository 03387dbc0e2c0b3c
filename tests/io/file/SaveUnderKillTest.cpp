// Saves killed at random moments: a child process rewrites a slot file, a Cool Key file and the
// configuration over and over and is killed with SIGKILL; after each kill every file must hold
// a whole generation, old or new, and load, and no temporary file may pass for data or stay
// once it is old.
#include "config/coolkeys/CKEntry.h"
#include "config/workspace/Workspace.h"
#include "encryption/simple/XORFileReader.h"
#include "encryption/simple/XORFileWriter.h"
#include "io/file/FileHelper.h"
#include "io/file/PlainFileReader.h"
#include "io/file/PlainFileWriter.h"
#include "support/RecordingReporter.h"
#include "support/SimDesktopTest.h"
#include "util/config/ConfigImpl.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <fcntl.h>
#include <filesystem>
#include <iostream>
#include <memory>
#include <random>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;
using products::pastrix::config::coolkeys::CKEntry;
using products::pastrix::config::workspace::Workspace;
using testing_support::RecordingReporter;

constexpr std::uint32_t ChildFailed = 0xFFFFFFFFU;
constexpr std::uint32_t ChildReady = 0xFFFFFFFEU;

// Each generation's content has its own length, so a torn write cannot look whole.
std::string filler(std::uint32_t generation) {
    return std::string(2000 + (generation * 7919U) % 20000U,
                       static_cast<char>('a' + generation % 26U));
}
std::string slotText(std::uint32_t generation) {
    return "g=" + std::to_string(generation) + ";" + filler(generation);
}
std::string coolKeyText(std::uint32_t generation) {
    return "k=" + std::to_string(generation) + ";" + filler(generation + 1);
}

std::uint32_t generationIn(const std::string& text) {
    return static_cast<std::uint32_t>(std::stoul(text.substr(2, text.find(';') - 2)));
}

class SaveUnderKillTest : public testing_support::SimDesktopTest {
protected:
    SaveUnderKillTest() {
        fs::create_directory(directory / "ws");
        writeFile("config.cfg", "");
        save(0);
    }

    // One generation through the program's own writers: slot, Cool Key, configuration.
    void save(std::uint32_t generation) {
        desktop.clipboard.setContent({{1, slotText(generation) + '\0'}});
        if (!workspace.isLoaded()) {
            workspace.open("ws");
        }
        workspace.setFromCurrentClipboard(1);
        workspace.saveClipboard(1);
        CKEntry entry(reader, writer);
        entry.setAbbreviation("brb");
        entry.setExpand(coolKeyText(generation));
        workspace.saveCoolKey(entry);
        if (!config) {
            config =
                std::make_unique<util::config::ConfigImpl>("config.cfg", 0, xorReader, xorWriter);
        }
        config->setString("Generation", std::to_string(generation));
        config->setString("Filler", filler(generation + 2));
        config->save("");
    }

    [[noreturn]] void childLoop(std::uint32_t first, int report) {
        workspace.open("ws");
        config = std::make_unique<util::config::ConfigImpl>("config.cfg", 0, xorReader, xorWriter);
        if (::write(report, &ChildReady, sizeof ChildReady) != sizeof ChildReady) {
            ::_exit(3);
        }
        for (std::uint32_t generation = first;; ++generation) {
            save(generation);
            const std::uint32_t done = reporter.messages.empty() ? generation : ChildFailed;
            if (::write(report, &done, sizeof done) != sizeof done || done == ChildFailed) {
                ::_exit(3);
            }
        }
    }

    RecordingReporter reporter;
    Workspace workspace{reporter, 0};
    io::file::PlainFileReader reader;
    io::file::PlainFileWriter writer;
    encryption::simple::XORFileReader xorReader;
    encryption::simple::XORFileWriter xorWriter;
    std::unique_ptr<util::config::ConfigImpl> config;
};

struct Generations {
    std::uint32_t slot = 0;
    std::uint32_t coolKey = 0;
    std::uint32_t config = 0;
};

TEST_F(SaveUnderKillTest, EveryFileIsWholeAfterAKillAtAnyMoment) {
    constexpr int Trials = 200;
    std::mt19937 random(20261208U);
    // Kills spread over a round or three after the child is ready, so that they land
    // everywhere in a round on a fast disk and on a slow, sanitized build. A fresh process's
    // first writes may still cost far more than the parent's, so while no kill has come after
    // a finished round the spread keeps widening.
    const auto started = std::chrono::steady_clock::now();
    workspace.open("ws");
    save(1);
    const auto round = std::chrono::duration_cast<std::chrono::microseconds>(
                           std::chrono::steady_clock::now() - started)
                           .count();
    long spread = std::clamp<long>(3 * static_cast<long>(round), 2000, 200000);
    Generations previous{1, 1, 1};
    int trialsWithLeftovers = 0;
    int trialsCutBetweenFiles = 0;
    int trialsWithProgress = 0;

    for (int trial = 1; trial <= Trials; ++trial) {
        const std::uint32_t first = static_cast<std::uint32_t>(trial) * 100000U;
        int pipeEnds[2];
        ASSERT_EQ(::pipe2(pipeEnds, O_CLOEXEC), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::close(pipeEnds[0]);
            childLoop(first, pipeEnds[1]);
        }
        ::close(pipeEnds[1]);
        std::uint32_t ready = 0;
        ASSERT_EQ(::read(pipeEnds[0], &ready, sizeof ready), static_cast<ssize_t>(sizeof ready));
        ASSERT_EQ(ready, ChildReady) << "trial " << trial;
        if (trialsWithProgress == 0 && trial % 10 == 0) {
            spread = std::min<long>(2 * spread, 2000000);
        }
        ::usleep(static_cast<useconds_t>(std::uniform_int_distribution<long>(0, spread)(random)));
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status)) << "trial " << trial << " status " << status;

        // The last generation the child finished, if any.
        std::uint32_t done = 0;
        bool finishedOne = false;
        std::uint32_t value = 0;
        while (::read(pipeEnds[0], &value, sizeof value) == sizeof value) {
            ASSERT_NE(value, ChildFailed) << "a save failed in trial " << trial;
            done = value;
            finishedOne = true;
        }
        ::close(pipeEnds[0]);
        trialsWithProgress += finishedOne ? 1 : 0;

        // Only the data files and temporary files may be there; a temporary file is never
        // named like a slot or a Cool Key.
        int leftovers = 0;
        int coolKeyFiles = 0;
        for (const auto& file : fs::directory_iterator(directory / "ws")) {
            const std::string name = file.path().filename().string();
            if (io::file::FileHelper::isTemporaryFileName(name)) {
                ++leftovers;
                EXPECT_NE(file.path().extension(), ".pxf");
                EXPECT_NE(file.path().extension(), ".ckf");
            } else if (file.path().extension() == ".ckf") {
                ++coolKeyFiles;
            } else {
                EXPECT_EQ(name, "px_1.pxf") << "trial " << trial;
            }
        }
        EXPECT_EQ(coolKeyFiles, 1) << "trial " << trial;
        trialsWithLeftovers += leftovers > 0 ? 1 : 0;

        // Every file loads and holds one whole generation.
        RecordingReporter loadReporter;
        Workspace loaded(loadReporter, 0);
        loaded.open("ws");
        ASSERT_TRUE(loaded.isLoaded()) << "trial " << trial;
        EXPECT_TRUE(loadReporter.messages.empty())
            << "trial " << trial << ": " << loadReporter.messages.front();
        ASSERT_TRUE(loaded.getClipboards()[1]) << "trial " << trial;
        ASSERT_EQ(loaded.getCoolKeys().size(), 1U) << "trial " << trial;
        Generations now;
        const std::string slot = loaded.getClipboards()[1]->getText();
        now.slot = generationIn(slot);
        EXPECT_EQ(slot, slotText(now.slot)) << "trial " << trial;
        const std::string expansion = loaded.getCoolKeys()[0]->getExpand();
        now.coolKey = generationIn(expansion);
        EXPECT_EQ(expansion, coolKeyText(now.coolKey)) << "trial " << trial;
        util::config::ConfigImpl stored("config.cfg", 0, xorReader, xorWriter);
        now.config = static_cast<std::uint32_t>(std::stoul(stored.getString("Generation")));
        EXPECT_EQ(stored.getString("Filler"), filler(now.config + 2)) << "trial " << trial;

        // Old or new: the last finished generation or the one after it, written in order.
        const auto oldOrNew = [&](std::uint32_t found, std::uint32_t before) {
            return finishedOne ? (found == done || found == done + 1)
                               : (found == before || found == first);
        };
        EXPECT_TRUE(oldOrNew(now.slot, previous.slot)) << "trial " << trial;
        EXPECT_TRUE(oldOrNew(now.coolKey, previous.coolKey)) << "trial " << trial;
        EXPECT_TRUE(oldOrNew(now.config, previous.config)) << "trial " << trial;
        // A round writes the slot, then the Cool Key, then the configuration.
        EXPECT_GE(now.slot, now.coolKey) << "trial " << trial;
        EXPECT_GE(now.coolKey, now.config) << "trial " << trial;
        trialsCutBetweenFiles += (now.slot != now.coolKey || now.coolKey != now.config) ? 1 : 0;
        previous = now;

        // What the kill left may be a save in progress as far as an open can tell; once it
        // is old, the next open removes it.
        for (const auto& file : fs::directory_iterator(directory / "ws")) {
            if (io::file::FileHelper::isTemporaryFileName(file.path().string())) {
                fs::last_write_time(file.path(),
                                    fs::file_time_type::clock::now() - std::chrono::hours(1));
            }
        }
        Workspace(loadReporter, 0).open("ws");
        for (const auto& file : fs::directory_iterator(directory / "ws")) {
            EXPECT_FALSE(io::file::FileHelper::isTemporaryFileName(file.path().string()))
                << file.path();
        }
    }
    // Otherwise the kills did not land where they matter.
    EXPECT_GT(trialsWithProgress, 0);
    EXPECT_GT(trialsWithLeftovers, 0);
    EXPECT_GT(trialsCutBetweenFiles, 0);
    std::cout << Trials << " kills: " << trialsWithProgress << " after a finished round, "
              << trialsWithLeftovers << " left a temporary file, " << trialsCutBetweenFiles
              << " cut a round between files\n";
}

TEST(TemporaryFileNames, AreToldFromDataFiles) {
    using io::file::FileHelper::isTemporaryFileName;
    EXPECT_TRUE(isTemporaryFileName("px_1.pxf.0123abcd~"));
    EXPECT_TRUE(isTemporaryFileName("/w/ws/config.cfg.ffffffff~"));
    for (const char* name : {"px_1.pxf", ".0123abcd~", "px_1.pxf.0123abc~", "px_1.pxf.0123ABCD~",
                             "px_1.pxf.0123abcdx", "px_1.pxf-0123abcd~", "notes~"}) {
        EXPECT_FALSE(isTemporaryFileName(name)) << name;
    }
}

}  // namespace
