#include "config/coolkeys/CKEntry.h"
#include "config/coolkeys/CoolKeyGenerator.h"
#include "config/coolkeys/CoolKeysException.h"
#include "io/file/PlainFileReader.h"
#include "io/file/PlainFileWriter.h"
#include "support/SimDesktopTest.h"

#include <random>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

namespace {

using products::pastrix::config::coolkeys::CKEntry;
using products::pastrix::config::coolkeys::CoolKeyGenerator;
using products::pastrix::config::coolkeys::CoolKeysException;

class CoolKeyGeneratorTest : public testing_support::SimDesktopAssertionTest {
protected:
    void add(const std::string& abbreviation, const std::string& expand) {
        auto made = std::make_unique<CKEntry>(reader, writer);
        made->setAbbreviation(abbreviation);
        made->setExpand(expand);
        entries.push_back(std::move(made));
    }

    void typeAll(const std::string& characters) {
        for (const char character : characters) {
            generator.addCharacter(entries, character);
        }
    }

    // The key events sent since the last call: the virtual key ("B" for Backspace, "S" for
    // Shift, "C" for Ctrl, the character for letters and digits, the number otherwise),
    // "v" down or "^" up, and "x" when marked extended.
    std::string sent() {
        const auto history = desktop.input.history();
        std::string events;
        for (std::size_t i = seen; i < history.size(); ++i) {
            const auto& event = history[i];
            if (!events.empty()) {
                events += ' ';
            }
            switch (event.virtualKey) {
                case 8:
                    events += 'B';
                    break;
                case 16:
                    events += 'S';
                    break;
                case 17:
                    events += 'C';
                    break;
                default:
                    if ((event.virtualKey >= 'A' && event.virtualKey <= 'Z') ||
                        (event.virtualKey >= '0' && event.virtualKey <= '9')) {
                        events += static_cast<char>(event.virtualKey);
                    } else {
                        events += std::to_string(event.virtualKey);
                    }
            }
            events += event.released ? '^' : 'v';
            if (event.extended) {
                events += 'x';
            }
        }
        seen = history.size();
        return events;
    }

    io::file::PlainFileReader reader;
    io::file::PlainFileWriter writer;
    CoolKeyGenerator::Entries entries;
    CoolKeyGenerator generator{256};
    std::size_t seen = 0;
};

TEST_F(CoolKeyGeneratorTest, AnAbbreviationAnywhereInTheTypedCharactersIsErasedAndExpanded) {
    add("btw", "by");
    typeAll("bt");
    EXPECT_EQ(sent(), "");
    typeAll("w");
    EXPECT_EQ(sent(), "Bv B^ Bv B^ Bv B^ Bv B^ Yv Y^");
    EXPECT_EQ(generator.getTypedText(), "");

    typeAll("abtw");  // the a stays on screen
    EXPECT_EQ(sent(), "Bv B^ Bv B^ Bv B^ Bv B^ Yv Y^");

    typeAll("bt\btw");  // a Backspace is a character like any other
    EXPECT_EQ(sent(), "");
    EXPECT_EQ(generator.getTypedText(), "bt\btw");
    EXPECT_TRUE(assertions.reports.empty());
}

TEST_F(CoolKeyGeneratorTest, TheFirstEntryInTheListWins) {
    add("ab", "1");
    add("b", "2");
    typeAll("ab");
    EXPECT_EQ(sent(), "Bv B^ Bv B^ 1v 1^");

    entries.clear();
    add("b", "2");
    add("ab", "1");
    typeAll("ab");
    EXPECT_EQ(sent(), "Bv B^ 2v 2^");
}

TEST_F(CoolKeyGeneratorTest, TextsAreTypedWithTheModifiersEachCharacterNeeds) {
    generator.typeText("Hi!\r\n.\x01");
    EXPECT_EQ(sent(),
              "Svx Hv H^ S^x Iv I^ Svx 1v 1^ S^x 13v 13^ 190v 190^ "
              "Cvx Av A^ C^x");
}

TEST_F(CoolKeyGeneratorTest, EveryKindOfLineBreakIsOneEnter) {
    // CR LF, LF alone (a Unix file), CR alone, and an empty line of each.
    generator.typeText("a\r\nb\nc\rd\n\ne\r\n\r\nf\n");
    EXPECT_EQ(sent(),
              "Av A^ 13v 13^ Bv B^ 13v 13^ Cv C^ 13v 13^ Dv D^ 13v 13^ 13v 13^ Ev E^ "
              "13v 13^ 13v 13^ Fv F^ 13v 13^");
}

TEST_F(CoolKeyGeneratorTest, ACharacterWithoutAKeyStopsTheTypingThere) {
    add("cf", "caf\xE9s");
    typeAll("c");
    try {
        typeAll("f");
        ADD_FAILURE() << "the layout has no key for the accented letter";
    } catch (const CoolKeysException& e) {
        EXPECT_EQ(e.getMessage(),
                  "Error translating the character to the corresponding virtual-key code and "
                  "shift state. Key: '\xE9' (-23)");
    }
    EXPECT_EQ(sent(), "Bv B^ Bv B^ Cv C^ Av A^ Fv F^");
    EXPECT_EQ(generator.getTypedText(), "");
    EXPECT_THROW(typeAll("cf"), CoolKeysException);  // and again at the next occurrence
}

TEST_F(CoolKeyGeneratorTest, TheTypedCharactersKeepUpToTwiceTheLimit) {
    add("zz", "x");
    typeAll(std::string(512, 'a'));
    EXPECT_EQ(generator.getTypedText().size(), 512U);
    typeAll("b");
    EXPECT_EQ(generator.getTypedText(), std::string(256, 'a') + "b");

    CoolKeyGenerator keepsNothing(0);
    keepsNothing.addCharacter(entries, 'a');
    EXPECT_EQ(keepsNothing.getTypedText(), "");
}

TEST_F(CoolKeyGeneratorTest, AChangedListIsSearchedWholeOnTheNextCharacter) {
    typeAll("xyz");
    add("xy", "1");  // typed before the entry existed
    typeAll("q");
    EXPECT_EQ(sent(), "Bv B^ Bv B^ 1v 1^");

    typeAll("mn");
    entries[0]->setAbbreviation("mn");  // renamed in place
    typeAll("o");
    EXPECT_EQ(sent(), "Bv B^ Bv B^ 1v 1^");

    add("k", "2");
    add("jk", "3");
    typeAll("j");
    std::swap(entries[1], entries[2]);  // same entries, another order
    typeAll("k");
    EXPECT_EQ(sent(), "Bv B^ Bv B^ 3v 3^");
}

TEST_F(CoolKeyGeneratorTest, AnEmptyAbbreviationNeverExpands) {
    add("", "loop");
    add("ok", "1");
    typeAll("abc");
    EXPECT_EQ(sent(), "");
    typeAll("ok");
    EXPECT_EQ(sent(), "Bv B^ Bv B^ 1v 1^");
}

// The plain rule: after each character, the first entry whose abbreviation occurs anywhere
// in the typed characters expands.
struct PlainMatcher {
    std::size_t add(const CoolKeyGenerator::Entries& entries, char character) {
        text.push_back(character);
        std::size_t winner = entries.size();
        for (std::size_t i = 0; i < entries.size(); ++i) {
            const std::string& abbreviation = entries[i]->getAbbreviation();
            if (!abbreviation.empty() && text.find(abbreviation) != std::string::npos) {
                winner = i;
                text.clear();
                break;
            }
        }
        if (text.size() > 2 * limit) {
            text.erase(0, limit);
        }
        return winner;
    }

    std::size_t limit;
    std::string text;
};

TEST_F(CoolKeyGeneratorTest, MatchesThePlainRuleWhileTheListChanges) {
    std::mt19937 random(20240611);
    const auto pick = [&](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    const auto word = [&] {
        std::string made;
        for (int length = pick(1, 4); length > 0; --length) {
            made.push_back(static_cast<char>('a' + pick(0, 3)));
        }
        return made;
    };
    CoolKeyGenerator small(6);
    PlainMatcher plain{6, ""};
    for (int i = 0; i < 6; ++i) {
        add(word(), "0");
    }
    std::size_t keysSent = 0;
    desktop.input.watchKeys([&](const os::sim::InputEvent&) { ++keysSent; });
    std::size_t expansions = 0;
    for (int step = 0; step < 20000; ++step) {
        if (pick(0, 40) == 0) {
            switch (pick(0, 3)) {
                case 0:
                    add(word(), "0");
                    break;
                case 1:
                    if (entries.size() > 1) {
                        entries.erase(entries.begin() + pick(0, int(entries.size()) - 1));
                    }
                    break;
                case 2:
                    entries[std::size_t(pick(0, int(entries.size()) - 1))]->setAbbreviation(word());
                    break;
                default:
                    std::swap(entries.front(), entries.back());
            }
        }
        const char character = static_cast<char>('a' + pick(0, 4));
        const std::size_t winner = plain.add(entries, character);
        const std::size_t before = keysSent;
        small.addCharacter(entries, character);
        // Two events per Backspace, then the two of the expansion.
        const std::size_t backspaces = (keysSent - before - 2) / 2;
        ASSERT_EQ(small.getTypedText(), plain.text) << "step " << step;
        if (winner < entries.size()) {
            ++expansions;
            ASSERT_EQ(backspaces, entries[winner]->getAbbreviation().size()) << "step " << step;
        }
    }
    EXPECT_GT(expansions, 1000U);
}

}  // namespace
