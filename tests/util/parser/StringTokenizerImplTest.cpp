#include "support/SimDesktopTest.h"
#include "util/parser/StringTokenizerImpl.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

using util::parser::StringTokenizerImpl;

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
