#include "encryption/simple/XORFileReader.h"
#include "encryption/simple/XORFileWriter.h"
#include "exceptions/NumberFormatException.h"
#include "io/file/FileExceptions.h"
#include "support/SimDesktopTest.h"
#include "util/config/ConfigException.h"
#include "util/config/ConfigImpl.h"

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

using util::config::Config;
using util::config::ConfigImpl;
using util::config::InvalidValueException;
using util::config::KeyDoesNotExistException;
using util::config::ParseException;

std::string details(const std::string& fileName = "") {
    return "Error details:\nProblems in the configuration file loader (ConfigImpl).\nFilename: " +
           fileName + "\n";
}

class RecordingObserver final : public util::config::ConfigObserver {
public:
    void update(Config* subject) override { changes.push_back(subject->getLastChange()); }
    std::vector<int> changes;
};

class ConfigImplTest : public testing_support::SimDesktopAssertionTest {
protected:
    std::unique_ptr<ConfigImpl> fromText(const std::string& text) {
        return std::make_unique<ConfigImpl>(text, ConfigImpl::FromText, reader, writer);
    }
    std::unique_ptr<ConfigImpl> fromFile(const std::string& name) {
        return std::make_unique<ConfigImpl>(name, ConfigImpl::FromFile, reader, writer);
    }

    encryption::simple::XORFileReader reader;
    encryption::simple::XORFileWriter writer;
};

TEST_F(ConfigImplTest, ParsesEveryKindOfLineBreakAndKeepsEqualsSignsInValues) {
    const auto config = fromText("A=1\r\n\r\n#B=2\nK=x=y\rL==z\r\n M=2");
    EXPECT_EQ(config->getKeyCount(), 4);
    EXPECT_EQ(config->getString("A"), "1");
    EXPECT_EQ(config->getString("K"), "x=y");
    EXPECT_EQ(config->getString("L"), "=z");
    EXPECT_EQ(config->getString(" M"), "2");
    EXPECT_FALSE(config->hasKey("#B"));
    EXPECT_FALSE(config->hasKey("B"));
    EXPECT_EQ(config->getLastChange(), util::config::NothingChanged);
}

TEST_F(ConfigImplTest, OnlyAHashAtTheVeryStartMakesAComment) {
    const auto config = fromText(" #A=1\n#B=2\n");
    EXPECT_TRUE(config->hasKey(" #A"));
    EXPECT_EQ(config->getKeyCount(), 1);
}

TEST_F(ConfigImplTest, RefusesLinesThatAreNotKeyValuePairs) {
    for (const std::string line : {"A=", "=b", "==", "abc", "=a=b", "A==="}) {
        SCOPED_TRACE(line);
        const std::string text = "X=1\r\n#c\n" + line + "\n";
        try {
            fromText(text);
            ADD_FAILURE() << "no parse error";
        } catch (const ParseException& e) {
            const std::string lead = "Parse error. The line is not a valid key=value line. ";
            EXPECT_EQ(e.getShortMessage(), lead + details() + " Line: " + line + " LineNumber: 3");
            EXPECT_EQ(e.getMessage(), lead + details() + "\n\nConfiguration text:\n" + text);
        }
    }
}

TEST_F(ConfigImplTest, RefusesADuplicateKey) {
    const std::string text = "A=1\nB=2\nA=3\n";
    try {
        fromText(text);
        FAIL() << "no parse error";
    } catch (const ParseException& e) {
        const std::string lead = "Duplicate key found while parsing. ";
        EXPECT_EQ(e.getShortMessage(), lead + details() + " Line: A=3 LineNumber: 3");
        EXPECT_EQ(e.getMessage(), lead + details() + "\n\nConfiguration text:\n" + text);
    }
}

TEST_F(ConfigImplTest, AMissingKeyNamesTheKeyTheFileAndTheText) {
    const std::string text = "A=1\n";
    writer.write("config.cfg", text, {});
    const auto config = fromFile("config.cfg");
    try {
        config->getString("B");
        FAIL() << "no exception";
    } catch (const KeyDoesNotExistException& e) {
        const std::string shortText =
            "The key does not exist. " + details("config.cfg") + " Key: 'B'";
        EXPECT_EQ(e.getShortMessage(), shortText);
        EXPECT_EQ(e.getMessage(), shortText + "\n\nConfiguration text:\n" + text);
    }
    EXPECT_THROW(config->getInt("B"), KeyDoesNotExistException);
    EXPECT_THROW(config->getBool("B"), KeyDoesNotExistException);
}

TEST_F(ConfigImplTest, ReadsBooleansInTheirSixSpellingsOnly) {
    const auto config = fromText("a=true\nb=TRUE\nc=1\nd=false\ne=FALSE\nf=0\ng=True\nh=yes\n");
    for (const char* key : {"a", "b", "c"}) {
        EXPECT_TRUE(config->getBool(key)) << key;
    }
    for (const char* key : {"d", "e", "f"}) {
        EXPECT_FALSE(config->getBool(key)) << key;
    }
    try {
        config->getBool("g");
        FAIL() << "True was accepted";
    } catch (const exceptions::NumberFormatException& e) {
        EXPECT_EQ(e.getMessage(),
                  "The value, True, could not be converted into a boolean. " + details());
    }
    EXPECT_THROW(config->getBool("h"), exceptions::NumberFormatException);
}

TEST_F(ConfigImplTest, ReadsIntegersByTheIntegerRule) {
    const auto config = fromText(
        "zero=0\nseven=007\nblank= 42\nsuffix=12abc\nneg=-5\nplus=+3\nmax=2147483647\n"
        "min=-2147483648\nzeros=00\nnegzero=-0\nword=abc\nbig=2147483648\n");
    const std::vector<std::pair<const char*, int>> good = {
        {"zero", 0}, {"seven", 7}, {"blank", 42},       {"suffix", 12},
        {"neg", -5}, {"plus", 3},  {"max", 2147483647}, {"min", -2147483647 - 1},
    };
    for (const auto& [key, value] : good) {
        EXPECT_EQ(config->getInt(key), value) << key;
    }
    for (const std::string key : {"zeros", "negzero", "word", "big"}) {
        try {
            config->getInt(key);
            ADD_FAILURE() << key << " was accepted";
        } catch (const exceptions::NumberFormatException& e) {
            EXPECT_EQ(e.getMessage(),
                      "Error parsing the string [" + config->getString(key) + "] to an integer");
        }
    }
}

struct Edit {
    const char* text;
    const char* key;
    const char* value;
    const char* expected;
};

TEST_F(ConfigImplTest, SetStringEditsInPlaceAndKeepsEveryOtherByte) {
    const Edit edits[] = {
        {"A=1\r\nB=2\r\n", "A", "22", "A=22\r\nB=2\r\n"},
        {"A=1\r\n", "Z", "9", "A=1\r\n\nZ=9\n"},
        {"A=1", "Z", "9", "A=1\nZ=9\n"},
        {"XA=1\nA=2\n", "A", "7", "XA=1\nA=7\n"},
        {"#A=0\nA=1\n", "A", "5", "#A=0\nA=5\n"},
        {"A=1\rB=2", "B", "x=y", "A=1\rB=x=y"},
        {"# note\nA=long value\n# end", "A", "v", "# note\nA=v\n# end"},
    };
    for (const Edit& edit : edits) {
        SCOPED_TRACE(edit.text);
        const auto config = fromText(edit.text);
        config->setString(edit.key, edit.value);
        EXPECT_EQ(config->getConfigText(), edit.expected);
        EXPECT_EQ(config->getString(edit.key), edit.value);
    }
}

TEST_F(ConfigImplTest, TypedSettersWriteTheirCanonicalForms) {
    const auto config = fromText("b=TRUE\ni=1\n");
    config->setBool("b", false);
    config->setInt("i", -12);
    EXPECT_EQ(config->getConfigText(), "b=false\ni=-12\n");
}

TEST_F(ConfigImplTest, RefusesValuesAndKeysThatWouldBreakTheText) {
    const std::string text = "A=1\r\nB=2\r\n";
    const auto config = fromText(text);
    const std::vector<std::pair<std::string, std::string>> refused = {
        {"A", ""}, {"A", "x\nB=3"}, {"A", "x\r"}, {"A", "=="},   {"C", "1\nA=5"},
        {"", "1"}, {"#A", "1"},     {"A=B", "1"}, {"A\nB", "1"},
    };
    for (const auto& [key, value] : refused) {
        SCOPED_TRACE(key + "=" + value);
        EXPECT_THROW(config->setString(key, value), InvalidValueException);
        EXPECT_EQ(config->getConfigText(), text);
        EXPECT_EQ(config->getKeyCount(), 2);
    }
    try {
        config->setString("A", "two\nlines");
        FAIL() << "no exception";
    } catch (const InvalidValueException& e) {
        EXPECT_NE(e.getShortMessage().find("Key: 'A' Value: 'two\\nlines'"), std::string::npos);
        EXPECT_NE(e.getMessage().find("\n\nConfiguration text:\n" + text), std::string::npos);
    }
}

TEST_F(ConfigImplTest, ARefusedValueLeavesTheSavedFileLoadable) {
    writer.write("config.cfg", "A=1\nB=2\n", {});
    const auto config = fromFile("config.cfg");
    EXPECT_THROW(config->setString("A", ""), InvalidValueException);
    EXPECT_THROW(config->setString("B", "2\nA=3"), InvalidValueException);
    config->setString("B", "3");
    config->save("");
    const auto reloaded = fromFile("config.cfg");
    EXPECT_EQ(reloaded->getString("A"), "1");
    EXPECT_EQ(reloaded->getString("B"), "3");
}

TEST_F(ConfigImplTest, AFailedParseKeepsThePreviousTextAndTable) {
    const auto config = fromText("A=1\n");
    RecordingObserver observer;
    config->attach(&observer);
    EXPECT_THROW(config->setConfigText("A=1\nA=2\n"), ParseException);
    EXPECT_THROW(config->loadFromText("A="), ParseException);
    EXPECT_EQ(config->getConfigText(), "A=1\n");
    EXPECT_EQ(config->getString("A"), "1");
    EXPECT_TRUE(observer.changes.empty());
    EXPECT_EQ(config->getLastChange(), util::config::NothingChanged);
}

TEST_F(ConfigImplTest, LoadingABrokenFileFailsAndKeepsTheFileLoadedBefore) {
    writer.write("good.cfg", "A=1\n", {});
    writer.write("bad.cfg", "A=1\nnot a setting\n", {});
    const auto config = fromFile("good.cfg");
    try {
        config->load("bad.cfg");
        FAIL() << "no parse error";
    } catch (const ParseException& e) {
        EXPECT_EQ(e.getShortMessage(), "Parse error. The line is not a valid key=value line. " +
                                           details("bad.cfg") +
                                           " Line: not a setting LineNumber: 2");
    }
    config->setString("A", "2");
    config->save("");
    EXPECT_EQ(reader.read("good.cfg", 0), "A=2\n");
    EXPECT_EQ(reader.read("bad.cfg", 0), "A=1\nnot a setting\n");
    EXPECT_THROW(fromFile("bad.cfg"), ParseException);
    EXPECT_THROW(fromFile("missing.cfg"), io::file::CouldNotLoadFileException);
}

TEST_F(ConfigImplTest, RemoveKeyDeletesOnlyTheKeysLineText) {
    const Edit removals[] = {
        {"XA=1\nA=2\n", "A", "", "XA=1\n\n"},
        {"A=1\r\nB=2\r\n", "A", "", "\r\nB=2\r\n"},
        {"A=1\rB=2\r", "A", "", "\rB=2\r"},
        {"B=2\nA=1", "A", "", "B=2\n"},
    };
    for (const Edit& removal : removals) {
        SCOPED_TRACE(removal.text);
        const auto config = fromText(removal.text);
        config->removeKey(removal.key);
        EXPECT_EQ(config->getConfigText(), removal.expected);
        EXPECT_FALSE(config->hasKey("A"));
    }
    const auto config = fromText("A=1\rB=2\r");
    config->removeKey("A");
    EXPECT_EQ(config->getString("B"), "2");
}

TEST_F(ConfigImplTest, RemovingAnAbsentKeyChangesNothing) {
    const auto config = fromText("#A=1\nB=2\n");
    RecordingObserver observer;
    config->attach(&observer);
    config->removeKey("A");
    config->removeKey("");
    EXPECT_EQ(config->getConfigText(), "#A=1\nB=2\n");
    EXPECT_TRUE(observer.changes.empty());
}

TEST_F(ConfigImplTest, CommentAndUncommentRoundTrip) {
    const auto config = fromText("A=1\nB=2\n");
    config->commentKey("B");
    EXPECT_EQ(config->getConfigText(), "A=1\n#B=2\n");
    EXPECT_FALSE(config->hasKey("B"));
    config->uncommentKey("B");
    EXPECT_EQ(config->getConfigText(), "A=1\nB=2\n");
    EXPECT_EQ(config->getString("B"), "2");
    EXPECT_THROW(config->commentKey("C"), KeyDoesNotExistException);
    try {
        config->uncommentKey("A");
        FAIL() << "no exception";
    } catch (const KeyDoesNotExistException& e) {
        EXPECT_EQ(e.getShortMessage(),
                  "Could not find the commented key. " + details() + " Key: 'A'");
    }
}

TEST_F(ConfigImplTest, UncommentingAKeyThatIsAlsoPresentIsRefused) {
    const auto config = fromText("#A=1\nA=2\n");
    EXPECT_THROW(config->uncommentKey("A"), ParseException);
    EXPECT_EQ(config->getConfigText(), "#A=1\nA=2\n");
    EXPECT_EQ(config->getString("A"), "2");
}

TEST_F(ConfigImplTest, ObserversHearNewTextsAndSavesOnce) {
    const auto config = fromText("A=1\n");
    RecordingObserver first;
    RecordingObserver second;
    config->attach(&first);
    config->attach(&first);
    config->attach(&second);
    config->setConfigText("A=1\n");
    EXPECT_TRUE(first.changes.empty());
    config->setString("A", "2");
    config->save(path("other.cfg"));
    config->detach(&second);
    config->setString("A", "3");
    EXPECT_EQ(first.changes, (std::vector<int>{1, 2, 1}));
    EXPECT_EQ(second.changes, (std::vector<int>{1, 2}));
}

TEST_F(ConfigImplTest, SaveScramblesTheTextAndAnOtherNameIsUsedOnce) {
    writer.write("config.cfg", "A=1\n", {});
    const auto config = fromFile("config.cfg");
    config->setString("A", "2");
    config->save("copy.cfg");
    EXPECT_EQ(reader.read("config.cfg", 0), "A=1\n");
    EXPECT_EQ(reader.read("copy.cfg", 0), "A=2\n");
    EXPECT_NE(readFile("copy.cfg"), "A=2\n");
    EXPECT_EQ(readFile("copy.cfg").size(), 4u);
    config->save("");
    EXPECT_EQ(reader.read("config.cfg", 0), "A=2\n");
    writer.write("config.cfg", "A=5\n", {});
    config->reload();
    EXPECT_EQ(config->getInt("A"), 5);
}

TEST_F(ConfigImplTest, AnUnknownModeIsReported) {
    const ConfigImpl config("A=1", 7, reader, writer);
    EXPECT_TRUE(assertions.reported("false"));
    EXPECT_EQ(config.getKeyCount(), 0);
}

}  // namespace
