#include "encryption/simple/CompiledInKey.h"
#include "encryption/simple/XORCryptor.h"
#include "encryption/simple/XORFileReader.h"
#include "encryption/simple/XORFileWriter.h"
#include "io/file/FileExceptions.h"
#include "support/SimDesktopTest.h"

#include <cctype>
#include <cstring>
#include <string>

#include <gtest/gtest.h>

namespace {

using encryption::simple::CompiledInKey;
using encryption::simple::XORCryptor;

std::string everyByteTwice() {
    std::string data;
    for (int round = 0; round < 2; ++round) {
        for (int byte = 0; byte < 256; ++byte) {
            data += static_cast<char>(byte);
        }
    }
    return data;
}

TEST(XORCryptorTest, TheCompiledInKeyIs29LettersAndDigits) {
    const std::string key = CompiledInKey;
    ASSERT_EQ(key.size(), 29u);
    for (const char c : key) {
        EXPECT_TRUE(std::isalnum(static_cast<unsigned char>(c))) << c;
    }
}

TEST(XORCryptorTest, CombinesEachByteWithTheRepeatingKey) {
    const XORCryptor cryptor(CompiledInKey);
    const std::string data = everyByteTwice();
    const std::string scrambled = cryptor.crypt(data, 0);
    ASSERT_EQ(scrambled.size(), data.size());
    for (std::size_t i = 0; i < data.size(); ++i) {
        ASSERT_EQ(static_cast<char>(scrambled[i] ^ data[i]), CompiledInKey[i % 29]) << i;
    }
    EXPECT_EQ(cryptor.crypt(scrambled, 0), data);
    EXPECT_EQ(cryptor.crypt("", 0), "");
}

TEST(XORCryptorTest, StartsAtTheGivenKeyIndexAndWraps) {
    const XORCryptor cryptor("abc");
    EXPECT_EQ(cryptor.crypt(std::string(4, '\0'), 2), std::string("cabc"));
}

class XORFileTest : public testing_support::SimDesktopAssertionTest {};

TEST_F(XORFileTest, WriterAndReaderRoundTripAndAnotherKeyReadsNonsense) {
    const std::string text = "A=1\r\n#comment\nB=x=y\n";
    encryption::simple::XORFileWriter writer;
    writer.write("config.cfg", text, std::ios::app);
    EXPECT_EQ(readFile("config.cfg").size(), text.size());
    EXPECT_NE(readFile("config.cfg"), text);
    encryption::simple::XORFileReader reader;
    // The byte count is ignored: a scrambled file is always read whole.
    EXPECT_EQ(reader.read("config.cfg", 3), text);
    encryption::simple::XORFileReader stranger("SomeOtherKey1234567890abcdefg");
    EXPECT_NE(stranger.read("config.cfg", 0), text);
    // Writing again replaces the file, whatever mode was asked for.
    writer.write("config.cfg", "C=2\n", std::ios::app);
    EXPECT_EQ(reader.read("config.cfg", 0), "C=2\n");
    EXPECT_TRUE(assertions.reports.empty());
}

TEST_F(XORFileTest, FailuresOfTheFileHelpersPassThrough) {
    encryption::simple::XORFileReader reader;
    encryption::simple::XORFileWriter writer;
    EXPECT_THROW(reader.read("missing.cfg", 0), io::file::CouldNotLoadFileException);
    EXPECT_THROW(writer.write(path("no/such/dir/config.cfg"), "A=1\n", {}),
                 io::file::CouldNotSaveFileException);
}

}  // namespace
