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
    entries.swap(1, 2);  // same entries, another order
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
            text.erase(0, limit == 0 ? text.size() : limit);
        }
        return winner;
    }

    std::size_t limit;
    std::string text;
};

// The keys pressed when an entry whose expansion is a number expands: a Backspace for each
// character of its abbreviation, then its digits.
std::vector<int> keysOfExpanding(const CKEntry& expanded) {
    std::vector<int> keys(expanded.getAbbreviation().size(), 8);
    for (const char digit : expanded.getExpand()) {
        keys.push_back(digit);
    }
    return keys;
}

// Many lists and typed streams over a small alphabet, so that abbreviations overlap, repeat,
// contain each other and share their ends; Shift symbols, line breaks, Backspace and a
// character the layout has no key for among them. The list changes now and then in every way
// a list can. After every character the generator must have expanded exactly the entry the
// plain rule picks, told by the entry's own expansion, and keep the same typed characters.
TEST_F(CoolKeyGeneratorTest, PicksTheSameEntryAsThePlainRuleAtEveryCharacter) {
    const std::string alphabet = "aab!A\r\n\b\xE9";
    std::mt19937 random(20240611);
    const auto pick = [&](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    const auto character = [&] {
        return alphabet[static_cast<std::size_t>(pick(0, int(alphabet.size()) - 1))];
    };
    const auto word = [&] {
        std::string made;
        for (int length = pick(pick(0, 8) == 0 ? 0 : 1, pick(0, 3) == 0 ? 9 : 3); length > 0;
             --length) {
            made.push_back(character());
        }
        return made;
    };
    std::vector<int> typedKeys;
    desktop.input.watchKeys([&](const os::sim::InputEvent& event) {
        if (!event.released) {
            typedKeys.push_back(event.virtualKey);
        }
    });
    int made = 0;
    // Each entry types its own number, so the keys sent name the entry that expanded.
    const auto entry = [&] {
        auto one = std::make_unique<CKEntry>(reader, writer);
        one->setAbbreviation(word());
        one->setExpand(std::to_string(++made));
        return one;
    };

    std::size_t expansions = 0;
    std::size_t changes = 0;
    for (int round = 0; round < 60; ++round) {
        CoolKeyGenerator::Entries list;
        for (int i = pick(0, 12); i > 0; --i) {
            list.push_back(entry());
        }
        const auto limit = static_cast<std::uint32_t>(round % 5 == 0 ? pick(0, 2) : pick(3, 40));
        CoolKeyGenerator matcher(limit);
        PlainMatcher plain{limit, ""};
        for (int step = 0; step < 1500; ++step) {
            if (pick(0, 30) == 0) {
                ++changes;
                switch (pick(0, 6)) {
                    case 0:
                        list.push_back(entry());
                        break;
                    case 1:
                        if (!list.empty()) {
                            list.erase(list.begin() + pick(0, int(list.size()) - 1));
                        }
                        break;
                    case 2:
                        if (!list.empty()) {
                            list[std::size_t(pick(0, int(list.size()) - 1))]->setAbbreviation(
                                word());
                        }
                        break;
                    case 3:
                        if (list.size() > 1) {
                            list.swap(std::size_t(pick(0, int(list.size()) - 1)),
                                      std::size_t(pick(0, int(list.size()) - 1)));
                        }
                        break;
                    case 4:
                        if (!list.empty()) {  // the same abbreviation twice
                            auto twin = entry();
                            twin->setAbbreviation(list[std::size_t(pick(0, int(list.size()) - 1))]
                                                      ->getAbbreviation());
                            list.push_back(std::move(twin));
                        }
                        break;
                    case 5: {  // another list with the same entries
                        CoolKeyGenerator::Entries moved(std::move(list));
                        list = std::move(moved);
                        break;
                    }
                    default:
                        list.clear();
                }
            }
            const char typed = character();
            const std::size_t winner = plain.add(list, typed);
            typedKeys.clear();
            try {
                matcher.addCharacter(list, typed);
            } catch (const CoolKeysException&) {
                // The layout has no key for a character of the expansion: numbers only here.
                FAIL() << "round " << round << " step " << step;
            }
            ASSERT_EQ(matcher.getTypedText(), plain.text) << "round " << round << " step " << step;
            if (winner < list.size()) {
                ++expansions;
                ASSERT_EQ(typedKeys, keysOfExpanding(*list[winner]))
                    << "round " << round << " step " << step;
            } else {
                ASSERT_TRUE(typedKeys.empty()) << "round " << round << " step " << step;
            }
        }
    }
    EXPECT_GT(expansions, 3000U);
    EXPECT_GT(changes, 2000U);
}

// A list as long as a large user's, typed at long enough to fill the buffer many times: the
// same entries expand as under the plain rule, including the first character after the list
// changed, when an abbreviation anywhere in the buffer counts.
TEST_F(CoolKeyGeneratorTest, ALongListMatchesThePlainRule) {
    std::mt19937 random(99);
    const auto pick = [&](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    for (int i = 0; i < 3000; ++i) {
        std::string abbreviation;
        for (int length = pick(2, 6); length > 0; --length) {
            abbreviation.push_back(static_cast<char>('a' + pick(0, 7)));
        }
        add(abbreviation, std::to_string(i));
    }
    std::vector<int> typedKeys;
    desktop.input.watchKeys([&](const os::sim::InputEvent& event) {
        if (!event.released) {
            typedKeys.push_back(event.virtualKey);
        }
    });
    PlainMatcher plain{256, ""};
    std::size_t expansions = 0;
    for (int step = 0; step < 20000; ++step) {
        if (step % 997 == 0) {
            entries.swap(std::size_t(pick(0, 2999)), std::size_t(pick(0, 2999)));
        }
        const char typed = static_cast<char>('a' + pick(0, 8));
        const std::size_t winner = plain.add(entries, typed);
        typedKeys.clear();
        generator.addCharacter(entries, typed);
        ASSERT_EQ(generator.getTypedText(), plain.text) << "step " << step;
        if (winner < entries.size()) {
            ++expansions;
            ASSERT_EQ(typedKeys, keysOfExpanding(*entries[winner])) << "step " << step;
        } else {
            ASSERT_TRUE(typedKeys.empty()) << "step " << step;
        }
    }
    EXPECT_GT(expansions, 1000U);
}

}  // namespace
