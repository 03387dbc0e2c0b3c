#include "support/PlatformText.h"
#include "support/SimDesktopTest.h"
#include "util/parser/ArgumentParserHelpers.h"
#include "util/parser/CommandLineConverter.h"
#include "util/parser/CommandLineConverterException.h"

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

using util::parser::CommandLineConverter;
namespace ArgumentParserHelpers = util::parser::ArgumentParserHelpers;
using testing_support::nativePath;
using testing_support::separator;

class CommandLineConverterTest : public testing_support::SimDesktopAssertionTest {
protected:
    std::vector<std::string> arguments(const std::string& commandLine) {
        desktop.systemInfo.setCommandLine(commandLine);
        const CommandLineConverter converter;
        std::vector<std::string> result;
        for (int i = 0; i < converter.getArgc(); ++i) {
            result.emplace_back(converter.getArgv()[i]);
        }
        EXPECT_EQ(converter.getArgv()[converter.getArgc()], nullptr);
        return result;
    }
};

TEST_F(CommandLineConverterTest, SplitsAtBlanksOutsideDoubleQuotes) {
    using List = std::vector<std::string>;
    const std::vector<std::pair<std::string, List>> examples = {
        {R"(C:\Program Files\app.exe -minimized)",
         {R"(C:\Program)", R"(Files\app.exe)", "-minimized"}},
        {R"("C:\Program Files\app.exe" -minimized)", {R"(C:\Program Files\app.exe)", "-minimized"}},
        {"a  b", {"a", "b"}},
        {"  a  ", {"a"}},
        {"ab\"c d\"e", {"abc de"}},
        {"a\tb c", {"a\tb", "c"}},
        {"\"\" x", {"", "x"}},
        {"", {}},
        {"   ", {}},
    };
    for (const auto& [commandLine, expected] : examples) {
        EXPECT_EQ(arguments(commandLine), expected) << commandLine;
    }
    EXPECT_TRUE(assertions.reports.empty());
}

TEST_F(CommandLineConverterTest, AnUnmatchedQuoteIsRefused) {
    desktop.systemInfo.setCommandLine("a \"b");
    try {
        const CommandLineConverter converter;
        FAIL() << "no exception";
    } catch (const util::parser::CommandLineConverterException& e) {
        EXPECT_EQ(e.getMessage(), "Unmatched \" found when parsing command line: a \"b ");
    }
    EXPECT_THROW(arguments("\"a\" \"b"), exceptions::IllegalArgumentException);
}

TEST_F(CommandLineConverterTest, GetDirectoryKeepsThePathUpToItsLastSeparator) {
    // Program paths come from the system, written with its own separator.
    EXPECT_EQ(ArgumentParserHelpers::getDirectory(nativePath("/dir/app")), nativePath("/dir/"));
    EXPECT_EQ(ArgumentParserHelpers::getDirectory(nativePath("\"/dir/app\"")), nativePath("/dir/"));
    EXPECT_EQ(ArgumentParserHelpers::getDirectory(nativePath("\"/my dir/sub/app\"")),
              nativePath("/my dir/sub/"));
    EXPECT_EQ(ArgumentParserHelpers::getDirectory(nativePath("/app")), separator());
    EXPECT_EQ(ArgumentParserHelpers::getDirectory("app"), "");
    EXPECT_EQ(ArgumentParserHelpers::getDirectory(""), "");
}

TEST_F(CommandLineConverterTest, TheProgramDirectoryHoldsTheRunningProgram) {
    const std::string programDirectory = ArgumentParserHelpers::getProgramDirectory();
    ASSERT_FALSE(programDirectory.empty());
    EXPECT_EQ(programDirectory.back(), separator()[0]);
#if defined(_WIN32)
    const std::string program = "pastrix_tests.exe";
#else
    const std::string program = "pastrix_tests";
#endif
    EXPECT_TRUE(std::filesystem::exists(programDirectory + program)) << programDirectory;
}

}  // namespace
