#include "support/SimDesktopTest.h"
#include "util/StringHelper.h"
#include "util/StringHelperException.h"

#include <clocale>
#include <string>

#include <gtest/gtest.h>

namespace {

namespace StringHelper = util::StringHelper;

// Switches the character conversions to UTF-8 for one test.
class Utf8Locale {
public:
    Utf8Locale() : previous(std::setlocale(LC_CTYPE, nullptr)) {
        available = std::setlocale(LC_CTYPE, "C.UTF-8") != nullptr;
    }
    ~Utf8Locale() { std::setlocale(LC_CTYPE, previous.c_str()); }
    bool available = false;

private:
    std::string previous;
};

class StringHelperTest : public testing_support::SimDesktopAssertionTest {};

TEST_F(StringHelperTest, ReplaceAllNeverSearchesWhatItInserted) {
    struct Case {
        std::string text, what, with, expected;
        std::size_t count;
    };
    const Case cases[] = {
        {"aaa", "a", "aa", "aaaaaa", 3}, {"abc", "x", "y", "abc", 0},
        {"abc", "", "y", "abc", 0},      {"\"C:\\a b\"", "\"", "", "C:\\a b", 2},
        {"abab", "ab", "b", "bb", 2},    {"", "a", "b", "", 0},
    };
    for (const Case& c : cases) {
        std::string text = c.text;
        EXPECT_EQ(StringHelper::replaceAll(text, c.what, c.with), c.count) << c.text;
        EXPECT_EQ(text, c.expected) << c.text;
    }
    EXPECT_TRUE(assertions.reports.empty());
}

TEST_F(StringHelperTest, ReplaceAllReportsAZeroByteInTheText) {
    std::string text("a\0a", 3);
    EXPECT_EQ(StringHelper::replaceAll(text, "a", "b"), 2u);
    EXPECT_TRUE(
        assertions.reported("find(replaceIn.begin(), replaceIn.end(), '\\0') == replaceIn.end()"));
}

TEST_F(StringHelperTest, ChangesCase) {
    EXPECT_EQ(StringHelper::toLowerCase("Work"), "work");
    EXPECT_EQ(StringHelper::changeCase("Work 1", StringHelper::UpperCase), "WORK 1");
    EXPECT_TRUE(assertions.reports.empty());
    EXPECT_EQ(StringHelper::changeCase("Work", 2), "Work");
    EXPECT_TRUE(assertions.reported("false"));
}

TEST_F(StringHelperTest, ConvertsToWideTextInTheCurrentLocale) {
    EXPECT_EQ(StringHelper::toWideString("https://pastrix.org/"), L"https://pastrix.org/");
    EXPECT_EQ(StringHelper::toWideString(std::string("a\0b", 3)), std::wstring(L"a\0b", 3));
    EXPECT_EQ(StringHelper::toWideString(""), L"");
    Utf8Locale utf8;
    if (!utf8.available) {
        GTEST_SKIP() << "no UTF-8 locale on this machine";
    }
    EXPECT_EQ(StringHelper::toWideString("caf\xc3\xa9"), L"caf\u00e9");
    try {
        StringHelper::toWideString("bad \xff");
        FAIL() << "no exception";
    } catch (const util::StringHelperException& e) {
        EXPECT_EQ(e.getMessage(),
                  "Could get the length of the corresponding wide string for 'bad \xff'.");
    }
    EXPECT_THROW(StringHelper::toWideString("cut \xc3"), util::StringHelperException);
}

}  // namespace
