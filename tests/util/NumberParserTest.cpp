#include "exceptions/NumberFormatException.h"
#include "util/NumberParser.h"

#include <gtest/gtest.h>

namespace {

TEST(NumberParserTest, ReadsLeadingDecimalDigits) {
    const struct {
        const char* text;
        int value;
    } cases[] = {{"12", 12}, {"12abc", 12}, {"7.pxf", 7}, {"  42", 42},
                 {"-3", -3}, {"+5", 5},     {"0", 0},     {"-2147483648", -2147483647 - 1}};
    for (const auto& c : cases) {
        EXPECT_EQ(util::NumberParser::parseInt(c.text), c.value) << c.text;
    }
}

TEST(NumberParserTest, RefusesTextsThatComeOutAsZero) {
    const struct {
        const char* text;
        const char* message;
    } cases[] = {
        {"", "The empty string cannot be parsed into an integer"},
        {"abc", "Error parsing the string [abc] to an integer"},
        {"00", "Error parsing the string [00] to an integer"},
        {"-0", "Error parsing the string [-0] to an integer"},
        {"x.pxf", "Error parsing the string [x.pxf] to an integer"},
        // A number the program cannot hold is refused rather than wrapped or clipped.
        {"99999999999", "Error parsing the string [99999999999] to an integer"},
    };
    for (const auto& c : cases) {
        try {
            util::NumberParser::parseInt(c.text);
            ADD_FAILURE() << "accepted '" << c.text << "'";
        } catch (const exceptions::NumberFormatException& e) {
            EXPECT_EQ(e.getMessage(), c.message);
        }
    }
}

}  // namespace
