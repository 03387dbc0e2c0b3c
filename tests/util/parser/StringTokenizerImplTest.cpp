#include "support/SimDesktopTest.h"
#include "util/parser/StringTokenizerImpl.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

using util::parser::StringTokenizerImpl;

std::vector<std::string> tokens(const std::string& text, const std::string& delimiters) {
    StringTokenizerImpl tokenizer(text, delimiters);
    std::vector<std::string> result;
    while (tokenizer.hasMoreTokens()) {
        result.push_back(tokenizer.nextToken());
    }
    return result;
}

TEST(StringTokenizerImplTest, RunsOfDelimitersOnlySeparate) {
    using List = std::vector<std::string>;
    EXPECT_EQ(tokens("|65||66|67|", "|"), (List{"65", "66", "67"}));
    EXPECT_EQ(tokens("A=1\r\n\r\nB=2\rC", "\r\n"), (List{"A=1", "B=2", "C"}));
    EXPECT_EQ(tokens("|||", "|"), List{});
    EXPECT_EQ(tokens("", "|"), List{});
    EXPECT_EQ(tokens("a b", ""), List{"a b"});
}

TEST(StringTokenizerImplTest, CountsAndLooksAheadWithoutConsuming) {
    StringTokenizerImpl tokenizer("==a=b==c=", "=");
    EXPECT_EQ(tokenizer.countTokens(), 3u);
    EXPECT_EQ(tokenizer.tokenAhead(0), "a");
    EXPECT_EQ(tokenizer.tokenAhead(2), "c");
    EXPECT_EQ(tokenizer.nextToken(), "a");
    EXPECT_EQ(tokenizer.countTokens(), 2u);
    EXPECT_EQ(tokenizer.tokenAhead(1), "c");
}

class StringTokenizerAssertionTest : public testing_support::SimDesktopAssertionTest {};

TEST_F(StringTokenizerAssertionTest, ReadingPastTheEndIsReported) {
    StringTokenizerImpl tokenizer("a", "|");
    EXPECT_EQ(tokenizer.nextToken(), "a");
    EXPECT_TRUE(assertions.reports.empty());
    EXPECT_EQ(tokenizer.nextToken(), "");
    EXPECT_TRUE(assertions.reported("hasMoreTokens()"));
    EXPECT_EQ(tokenizer.tokenAhead(0), "");
    EXPECT_TRUE(assertions.reported("n < countTokens()"));
}

}  // namespace
