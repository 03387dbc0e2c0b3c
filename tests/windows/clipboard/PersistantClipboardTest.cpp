#include "io/file/PlainFileReader.h"
#include "io/file/PlainFileWriter.h"
#include "support/SimDesktopTest.h"
#include "support/SlotFileBytes.h"
#include "windows/clipboard/ClipboardException.h"
#include "windows/clipboard/PersistantClipboard.h"
#include "windows/memory/WindowsMemoryHelper.h"

#include <gtest/gtest.h>

namespace {

using namespace std::string_literals;
using windows::clipboard::PersistantClipboard;

using testing_support::littleEndian;
using testing_support::slotEntry;
using testing_support::slotHeader;

class PersistantClipboardTest : public testing_support::SimDesktopAssertionTest {
protected:
    // A slot snapshot filled from the simulated clipboard.
    std::unique_ptr<PersistantClipboard> captured(
        std::vector<os::posix::InProcessClipboard::Format> formats, const std::string& caption) {
        desktop.clipboard.setContent(std::move(formats));
        auto snapshot = std::make_unique<PersistantClipboard>(reader, writer, "Pastrix");
        snapshot->capture();
        snapshot->setCaption(caption);
        return snapshot;
    }
    std::string bytesOf(const PersistantClipboard& snapshot, std::size_t index) {
        namespace memory = windows::memory::WindowsMemoryHelper;
        const os::MemoryHandle block = snapshot.getEntries().at(index).memory;
        std::string bytes(static_cast<const char*>(memory::globalLock(block)),
                          memory::globalSize(block));
        memory::globalUnlock(block);
        return bytes;
    }

    io::file::PlainFileReader reader;
    io::file::PlainFileWriter writer;
};

TEST_F(PersistantClipboardTest, WritesTheDocumentedLayout) {
    captured({{1, "abc\0"s}}, "Notes")->save(path("px_1.pxf"));
    const std::string expected =
        "\x01\0\0\0Notes"s + std::string(250, '\0') + '\0' + "\x01\0\0\0\x04\0\0\0"s + "abc\0"s;
    ASSERT_EQ(expected.size(), 272u);
    EXPECT_EQ(readFile("px_1.pxf"), expected);

    PersistantClipboard(reader, writer, "Pastrix").save(path("empty.pxf"));
    EXPECT_EQ(readFile("empty.pxf"), slotHeader(0, ""));
}

TEST_F(PersistantClipboardTest, SaveAndLoadKeepFormatsOrderBytesAndCaption) {
    const unsigned rtf = desktop.clipboard.registerFormat("Rich Text Format");
    captured({{13, "w\0\0\0"s}, {rtf, std::string(70000, '\xAB')}, {1, "a\0b\0"s}},
             "Editor - notes.txt")
        ->save(path("px_5.pxf"));

    PersistantClipboard loaded(reader, writer, "Pastrix");
    loaded.load(path("px_5.pxf"));
    EXPECT_TRUE(loaded.isCaptured());
    EXPECT_EQ(loaded.getCaption(), "Editor - notes.txt");
    EXPECT_EQ(loaded.getFormats(), (std::vector<unsigned>{13, rtf, 1}));
    EXPECT_EQ(bytesOf(loaded, 0), "w\0\0\0"s);
    EXPECT_EQ(bytesOf(loaded, 1), std::string(70000, '\xAB'));
    EXPECT_EQ(bytesOf(loaded, 2), "a\0b\0"s);

    // Loading again replaces the content; an empty file of entries loads as captured.
    loaded.load(path("px_5.pxf"));
    EXPECT_EQ(loaded.getFormats().size(), 3u);
    writeFile("px_6.pxf", slotHeader(0, "") + "trailing bytes are ignored");
    loaded.load(path("px_6.pxf"));
    EXPECT_TRUE(loaded.isCaptured());
    EXPECT_TRUE(loaded.getEntries().empty());
    EXPECT_EQ(desktop.memory.liveBlocks(), 0u);
}

TEST_F(PersistantClipboardTest, CaptionsAreCutToTheField) {
    const struct {
        std::string caption;
        std::string kept;
    } cases[] = {
        {std::string(254, 'x'), std::string(254, 'x')},
        {std::string(300, 'y'), std::string(254, 'y')},
        // A two-byte character across the cut is left out whole.
        {std::string(253, 'z') + "\xC3\xA4" + "tail", std::string(253, 'z')},
    };
    for (const auto& c : cases) {
        captured({{1, "t\0"s}}, c.caption)->save(path("px_1.pxf"));
        const std::string file = readFile("px_1.pxf");
        ASSERT_EQ(file.size(), 260u + 8u + 2u);
        EXPECT_EQ(file[258], '\0');  // the field's last byte always ends the caption
        PersistantClipboard loaded(reader, writer, "Pastrix");
        loaded.load(path("px_1.pxf"));
        EXPECT_EQ(loaded.getCaption(), c.kept);
    }
}

TEST_F(PersistantClipboardTest, BrokenFilesAreRefusedWithoutReadingPastTheirData) {
    const struct {
        const char* what;
        std::string bytes;
        std::string reason;
    } cases[] = {
        {"empty", "", "smaller than the header"},
        {"short", slotHeader(0, "").substr(0, 259), "smaller than the header"},
        {"caption without end", littleEndian(0) + std::string(256, 'c'),
         "not ended by a zero byte"},
        {"entry head cut", slotHeader(1, "") + littleEndian(1), "ends inside the head"},
        {"lying size", slotHeader(1, "") + littleEndian(1) + littleEndian(9) + "abc",
         "The size of the clipboard data is bigger than the acctual file."},
        {"second entry missing", slotHeader(2, "") + slotEntry(1, "ab"), "ends inside the head"},
        {"zero-size entry", slotHeader(1, "") + slotEntry(1, ""), "entry without data"},
    };
    for (const auto& c : cases) {
        writeFile("broken.pxf", c.bytes);
        auto snapshot = captured({{1, "old\0"s}}, "old");
        try {
            snapshot->load(path("broken.pxf"));
            ADD_FAILURE() << c.what;
        } catch (const windows::clipboard::CouldNotLoadPersistantClipboardException& e) {
            const std::string prefix =
                "Error when trying to load clipboard from file. Filename: " + path("broken.pxf") +
                "\nException: ";
            EXPECT_EQ(e.getMessage().rfind(prefix, 0), 0u) << c.what;
            EXPECT_NE(e.getMessage().find(c.reason), std::string::npos) << e.getMessage();
        }
        EXPECT_TRUE(snapshot->getEntries().empty()) << c.what;
        EXPECT_EQ(snapshot->getCaption(), "") << c.what;
        EXPECT_FALSE(snapshot->isCaptured()) << c.what;
        EXPECT_EQ(desktop.memory.liveBlocks(), 0u) << c.what;
    }
    EXPECT_TRUE(assertions.reported("offset <= data.size()"));
}

// A reader that can only read files whole, as the one for scrambled files.
class WholeFileReader final : public io::file::FileReader {
public:
    std::string read(const std::string& fileName, std::size_t byteCount) override {
        ++reads;
        return plain.read(fileName, byteCount);
    }
    io::file::PlainFileReader plain;
    int reads = 0;
};

// Slots are read piece by piece straight into their blocks; through a reader of whole files
// they come out the same, and a broken file is refused the same way.
TEST_F(PersistantClipboardTest, AReaderOfWholeFilesLoadsTheSameSnapshot) {
    captured({{13, "w\0\0\0"s}, {2, std::string(200000, '\x5A')}, {1, "a\0"s}}, "Both")
        ->save(path("px_7.pxf"));
    WholeFileReader whole;
    PersistantClipboard direct(reader, writer, "Pastrix");
    PersistantClipboard throughWhole(whole, writer, "Pastrix");
    direct.load(path("px_7.pxf"));
    throughWhole.load(path("px_7.pxf"));
    EXPECT_EQ(whole.reads, 1);
    ASSERT_EQ(direct.getEntries().size(), 3u);
    ASSERT_EQ(throughWhole.getEntries().size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(direct.getEntries()[i].format, throughWhole.getEntries()[i].format);
        EXPECT_EQ(bytesOf(direct, i), bytesOf(throughWhole, i));
    }
    EXPECT_EQ(bytesOf(direct, 1), std::string(200000, '\x5A'));
    EXPECT_EQ(direct.getCaption(), "Both");
    EXPECT_EQ(throughWhole.getCaption(), "Both");

    writeFile("lying.pxf", slotHeader(2, "") + slotEntry(1, "ab") + littleEndian(1) +
                               littleEndian(100) + "short");
    EXPECT_THROW(throughWhole.load(path("lying.pxf")),
                 windows::clipboard::CouldNotLoadPersistantClipboardException);
    EXPECT_TRUE(throughWhole.getEntries().empty());
    EXPECT_EQ(desktop.memory.liveBlocks(), 3u);  // only the direct snapshot's blocks
}

TEST_F(PersistantClipboardTest, ReadAndWriteFailuresAreWrapped) {
    auto snapshot = captured({{1, "keep\0"s}}, "kept");
    EXPECT_THROW(snapshot->load(path("missing.pxf")),
                 windows::clipboard::CouldNotLoadPersistantClipboardException);
    EXPECT_EQ(snapshot->getCaption(), "kept");  // a file that cannot be read changes nothing
    EXPECT_EQ(snapshot->getFormats().size(), 1u);
    try {
        snapshot->save(path("no/such/dir/px_1.pxf"));
        ADD_FAILURE();
    } catch (const windows::clipboard::CouldNotSavePersistantClipboardException& e) {
        EXPECT_EQ(e.getMessage().rfind("Error when trying to save clipboard to file. Filename: " +
                                           path("no/such/dir/px_1.pxf") + "\nException: ",
                                       0),
                  0u);
    }
}

}  // namespace
