#include "config/coolkeys/CKEntry.h"
#include "config/coolkeys/CoolKeysException.h"
#include "io/file/PlainFileReader.h"
#include "io/file/PlainFileWriter.h"
#include "support/SimDesktopTest.h"

#include <gtest/gtest.h>

namespace {

using namespace std::string_literals;
using products::pastrix::config::coolkeys::CKEntry;

class CKEntryTest : public testing_support::SimDesktopAssertionTest {
protected:
    std::unique_ptr<CKEntry> entry(const std::string& abbreviation, const std::string& expand) {
        auto made = std::make_unique<CKEntry>(reader, writer);
        made->setAbbreviation(abbreviation);
        made->setExpand(expand);
        return made;
    }

    io::file::PlainFileReader reader;
    io::file::PlainFileWriter writer;
};

TEST_F(CKEntryTest, WritesTheDocumentedLayoutAndReadsItBack) {
    auto brb = entry("brb", "be right back");
    brb->save(path("ck_1.ckf"));
    EXPECT_EQ(brb->getFilename(), path("ck_1.ckf"));
    EXPECT_EQ(readFile("ck_1.ckf"), "brb" + std::string(253, '\0') + "be right back");

    const std::string expansion = "Dear Sir,\r\n\r\nline two\n\0binary\xFF"s;
    entry("sir", expansion)->save(path("ck_2.ckf"));
    CKEntry loaded(reader, writer);
    loaded.load(path("ck_2.ckf"));
    EXPECT_EQ(loaded.getAbbreviation(), "sir");
    EXPECT_EQ(loaded.getExpand(), expansion);
    EXPECT_EQ(loaded.getFilename(), path("ck_2.ckf"));
    EXPECT_TRUE(assertions.reports.empty());
}

TEST_F(CKEntryTest, AbbreviationFieldHoldsUpTo255Characters) {
    entry(std::string(255, 'a'), "x")->save(path("long.ckf"));
    const std::string file = readFile("long.ckf");
    ASSERT_EQ(file.size(), 257u);
    EXPECT_EQ(file[255], '\0');

    auto tooLong = entry(std::string(256, 'a'), "x");
    EXPECT_THROW(tooLong->save(path("too_long.ckf")),
                 products::pastrix::config::coolkeys::CouldNotSaveEntryCKException);
    EXPECT_EQ(tooLong->getFilename(), "");
    EXPECT_EQ(readFile("too_long.ckf"), "");  // nothing written

    // No abbreviation is reported and refused; an empty expansion is reported and written.
    EXPECT_THROW(entry("", "x")->save(path("none.ckf")),
                 products::pastrix::config::coolkeys::CouldNotSaveEntryCKException);
    EXPECT_TRUE(assertions.reported("_abbreviation.size() > 0"));
    entry("e", "")->save(path("empty.ckf"));
    EXPECT_TRUE(assertions.reported("_expand.size() > 0"));
    EXPECT_EQ(readFile("empty.ckf").size(), 256u);
}

TEST_F(CKEntryTest, LoadingIgnoresTheFieldAfterTheAbbreviation) {
    std::string field = "ty\0junk after the end"s;
    field.resize(CKEntry::AbbreviationFieldSize, 'j');
    writeFile("junk.ckf", field + "thank you");
    CKEntry loaded(reader, writer);
    loaded.load(path("junk.ckf"));
    EXPECT_EQ(loaded.getAbbreviation(), "ty");
    EXPECT_EQ(loaded.getExpand(), "thank you");

    writeFile("header.ckf", "hdr" + std::string(253, '\0'));
    loaded.load(path("header.ckf"));
    EXPECT_EQ(loaded.getExpand(), "");
}

TEST_F(CKEntryTest, BrokenFilesAreRefusedAndTheEntryStaysAsItWas) {
    const struct {
        const char* file;
        std::string bytes;
        const char* reason;
    } cases[] = {
        {"short.ckf", std::string(255, '\0'),
         "Invalid Cool Keys file. The size of the file is smaller than the header."},
        {"endless.ckf", std::string(300, 'a'), "not ended by a zero byte"},
        {"missing.ckf", "", "An error occured when trying to open the file for reading."},
    };
    for (const auto& c : cases) {
        if (!c.bytes.empty()) {
            writeFile(c.file, c.bytes);
        }
        auto kept = entry("old", "old text");
        try {
            kept->load(path(c.file));
            ADD_FAILURE() << c.file;
        } catch (const products::pastrix::config::coolkeys::CouldNotLoadCKEntryException& e) {
            const std::string prefix =
                "Error when trying to load a Cool Keys entry. \nFilename: " + path(c.file) + "\n";
            EXPECT_EQ(e.getMessage().rfind(prefix, 0), 0u) << e.getMessage();
            EXPECT_NE(e.getMessage().find(c.reason), std::string::npos) << e.getMessage();
        }
        EXPECT_EQ(kept->getAbbreviation(), "old");
        EXPECT_EQ(kept->getExpand(), "old text");
        EXPECT_EQ(kept->getFilename(), "");
    }
}

}  // namespace
