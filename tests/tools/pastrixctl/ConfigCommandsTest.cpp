#include "Command.h"
#include "encryption/simple/XORFileReader.h"
#include "support/SimDesktopTest.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

// Runs pastrixctl commands on a copy of the shipped configuration file.
class ConfigCommandsTest : public testing_support::SimDesktopTest {
protected:
    ConfigCommandsTest() {
        std::filesystem::copy_file(std::string(PASTRIX_PROGRAM_DIR) + "/config.cfg",
                                   path("config.cfg"));
        std::ifstream in(PASTRIX_SHIPPED_TEMPLATE, std::ios::binary);
        shippedText.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    int run(const std::vector<std::string>& arguments) {
        out.str("");
        err.str("");
        return pastrixctl::runCommandLine(arguments, out, err);
    }

    std::string decoded() {
        EXPECT_EQ(run({"config", "decode", "config.cfg"}), 0) << err.str();
        return out.str();
    }

    // The shipped text with one line's value changed.
    std::string shippedWith(const std::string& key, const std::string& value) {
        std::string text = shippedText;
        const std::size_t line = text.find("\n" + key + "=") + 1;
        const std::size_t valueStart = line + key.size() + 1;
        text.replace(valueStart, text.find('\n', valueStart) - valueStart, value);
        return text;
    }

    std::string shippedText;
    std::ostringstream out;
    std::ostringstream err;
};

TEST_F(ConfigCommandsTest, DecodePrintsTheTemplateText) {
    ASSERT_FALSE(shippedText.empty());
    EXPECT_EQ(decoded(), shippedText);
    EXPECT_EQ(run({"config", "get", "config.cfg", "SUPPORT_Version"}), 0);
    EXPECT_EQ(out.str(), std::string(PASTRIX_VERSION) + "\n");
}

TEST_F(ConfigCommandsTest, SetEditsOneValueAndKeepsEverythingElse) {
    EXPECT_EQ(run({"config", "set", "config.cfg", "PX_SerializeLimit", "1048576"}), 0) << err.str();
    EXPECT_EQ(decoded(), shippedWith("PX_SerializeLimit", "1048576"));
    EXPECT_EQ(run({"config", "set", "config.cfg", "Extra", "a=b"}), 0);
    EXPECT_EQ(decoded(), shippedWith("PX_SerializeLimit", "1048576") + "\nExtra=a=b\n");
    EXPECT_EQ(run({"config", "get", "config.cfg", "Extra"}), 0);
    EXPECT_EQ(out.str(), "a=b\n");
}

TEST_F(ConfigCommandsTest, CommentAndUncommentRestoreTheSameBytes) {
    const std::string before = readFile("config.cfg");
    EXPECT_EQ(run({"config", "comment", "config.cfg", "CC_Enabled"}), 0) << err.str();
    EXPECT_NE(decoded().find("\n#CC_Enabled=true\n"), std::string::npos);
    EXPECT_EQ(run({"config", "get", "config.cfg", "CC_Enabled"}), 1);
    EXPECT_NE(err.str().find("The key does not exist."), std::string::npos);
    EXPECT_EQ(run({"config", "uncomment", "config.cfg", "CC_Enabled"}), 0) << err.str();
    EXPECT_EQ(readFile("config.cfg"), before);
}

TEST_F(ConfigCommandsTest, RemoveLeavesAnEmptyLine) {
    EXPECT_EQ(run({"config", "remove", "config.cfg", "PX_UseSmartSave"}), 0) << err.str();
    std::string expected = shippedText;
    const std::string line = "PX_UseSmartSave=true";
    expected.erase(expected.find("\n" + line + "\n") + 1, line.size());
    EXPECT_EQ(decoded(), expected);
    EXPECT_EQ(run({"config", "remove", "config.cfg", "PX_UseSmartSave"}), 1);
    EXPECT_EQ(decoded(), expected);
}

TEST_F(ConfigCommandsTest, RefusedEditsLeaveTheFileAlone) {
    const std::string before = readFile("config.cfg");
    EXPECT_EQ(run({"config", "set", "config.cfg", "SYSTEM_ActiveWorkspace", ""}), 1);
    EXPECT_NE(err.str().find("The value cannot be stored"), std::string::npos);
    EXPECT_EQ(run({"config", "set", "config.cfg", "PX_Enabled", "true\nCC_Enabled=false"}), 1);
    EXPECT_EQ(run({"config", "uncomment", "config.cfg", "PX_Enabled"}), 1);
    EXPECT_EQ(readFile("config.cfg"), before);
}

TEST_F(ConfigCommandsTest, EncodeRefusesATextTheProgramWouldRefuse) {
    writeFile("plain.txt", "# ok\nA=1\r\nB=x=y\n");
    EXPECT_EQ(run({"config", "encode", "plain.txt", "new.cfg"}), 0) << err.str();
    EXPECT_EQ(encryption::simple::XORFileReader().read("new.cfg", 0), "# ok\nA=1\r\nB=x=y\n");
    EXPECT_NE(readFile("new.cfg"), readFile("plain.txt"));

    writeFile("broken.txt", "A=1\nA=2\n");
    EXPECT_EQ(run({"config", "encode", "broken.txt", "broken.cfg"}), 1);
    EXPECT_NE(err.str().find("Duplicate key found while parsing."), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(path("broken.cfg")));
}

TEST_F(ConfigCommandsTest, UsageMistakesExitWithTwo) {
    EXPECT_EQ(run({"config"}), 2);
    EXPECT_EQ(run({"config", "set", "config.cfg", "A"}), 2);
    EXPECT_EQ(run({"config", "frobnicate", "config.cfg"}), 2);
    EXPECT_NE(err.str().find("config decode <file>"), std::string::npos);
    EXPECT_EQ(run({"config", "decode", "missing.cfg"}), 1);
    EXPECT_NE(err.str().find("missing.cfg"), std::string::npos);
}

}  // namespace
