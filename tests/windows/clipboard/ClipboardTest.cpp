#include "os/ErrorCodes.h"
#include "os/Port.h"
#include "platform/errorresources/SystemErrors.h"
#include "support/SimDesktopTest.h"
#include "windows/clipboard/Clipboard.h"
#include "windows/clipboard/ClipboardException.h"
#include "windows/clipboard/ClipboardHelper.h"
#include "windows/memory/WindowsMemoryHelper.h"

#include <functional>
#include <memory>
#include <thread>

#include <gtest/gtest.h>

namespace {

using namespace std::string_literals;
using Format = os::posix::InProcessClipboard::Format;
using Operation = os::sim::SimClipboard::Operation;
using windows::clipboard::Clipboard;
namespace ClipboardHelper = windows::clipboard::ClipboardHelper;

class ClipboardTest : public testing_support::SimDesktopAssertionTest {
protected:
    std::string bytesOf(os::MemoryHandle block) {
        namespace memory = windows::memory::WindowsMemoryHelper;
        const std::size_t size = memory::globalSize(block);
        std::string bytes(static_cast<const char*>(memory::globalLock(block)), size);
        memory::globalUnlock(block);
        return bytes;
    }
    std::vector<std::string> entryBytes(const Clipboard& snapshot) {
        std::vector<std::string> result;
        for (const auto& entry : snapshot.getEntries()) {
            result.push_back(bytesOf(entry.memory));
        }
        return result;
    }
    unsigned registered(const std::string& name) { return desktop.clipboard.registerFormat(name); }
};

TEST_F(ClipboardTest, CaptureTakesEveryFormatInOrderAndRestoreGivesCopiesBack) {
    const unsigned html = registered("HTML Format");
    const std::vector<Format> copied = {
        {13, "h\0i\0\0\0"s}, {html, "<b>hi</b>"}, {1, "hi\0"s}, {16, "\x09\x04\0\0"s}};
    desktop.clipboard.setContent(copied);

    {
        Clipboard snapshot("Clipboard");
        ASSERT_TRUE(snapshot.capture());
        EXPECT_TRUE(snapshot.isCaptured());
        EXPECT_EQ(snapshot.getFormats(), (std::vector<unsigned>{13, html, 1, 16}));
        EXPECT_EQ(entryBytes(snapshot),
                  (std::vector<std::string>{"h\0i\0\0\0"s, "<b>hi</b>", "hi\0"s, "\x09\x04\0\0"s}));
        EXPECT_EQ(snapshot.getSize(), 6u + 9u + 3u + 4u);
        EXPECT_EQ(snapshot.getText(), "hi");
        EXPECT_EQ(snapshot.getDataTypes(), (std::vector<std::string>{"Text", "Html"}));

        desktop.clipboard.setContent({{1, "other\0"s}});
        snapshot.restore();
        snapshot.restore();  // the snapshot keeps its blocks: the same data again
        EXPECT_EQ(desktop.clipboard.content(), copied);
        EXPECT_EQ(snapshot.getFormats().size(), 4u);
        EXPECT_FALSE(desktop.clipboard.isOpen());
    }
    // The clipboard keeps what it was given after the snapshot is gone, and no block leaks.
    EXPECT_EQ(desktop.clipboard.content(), copied);
    EXPECT_EQ(desktop.memory.liveBlocks(), 0u);
    EXPECT_TRUE(assertions.reports.empty());
}

TEST_F(ClipboardTest, EmptyClipboardGivesAnEmptySnapshotThatRestoresNothing) {
    Clipboard snapshot("Clipboard");
    EXPECT_FALSE(snapshot.capture());
    EXPECT_FALSE(snapshot.isCaptured());
    EXPECT_TRUE(snapshot.getEntries().empty());
    EXPECT_EQ(snapshot.getText(), "N/A");

    desktop.clipboard.setContent({{1, "keep\0"s}});
    const unsigned before = desktop.clipboard.sequenceNumber();
    snapshot.restore();
    EXPECT_EQ(desktop.clipboard.sequenceNumber(), before);  // not even emptied
}

TEST_F(ClipboardTest, FormatsThatAreNotMemoryBlocksAreLeftOut) {
    desktop.clipboard.setContent({{2, "", true}, {8, "DIB bytes"}, {17, "DIBV5"}});
    Clipboard snapshot("Clipboard");
    EXPECT_TRUE(snapshot.capture());
    EXPECT_EQ(snapshot.getFormats(), (std::vector<unsigned>{8, 17}));
    EXPECT_EQ(snapshot.getText(), "N/A");
    EXPECT_EQ(snapshot.getDataTypes(), (std::vector<std::string>{"Bitmap"}));

    // When nothing can be fetched the snapshot is captured but empty, and restores nothing.
    desktop.clipboard.setContent({{13, "x\0"s}, {7, "y"}});
    desktop.clipboard.fail(Operation::DataObject, os::error::AccessDenied);
    EXPECT_TRUE(snapshot.capture());
    EXPECT_TRUE(snapshot.isCaptured());
    EXPECT_TRUE(snapshot.getEntries().empty());
    const unsigned before = desktop.clipboard.sequenceNumber();
    snapshot.restore();
    EXPECT_EQ(desktop.clipboard.sequenceNumber(), before);
}

TEST_F(ClipboardTest, TextPreviewStopsAtTheBlockEndAndReadsFileNames) {
    Clipboard snapshot("Clipboard");
    desktop.clipboard.setContent({{13, "u\0\0\0"s}, {1, "no zero"}});
    snapshot.capture();
    EXPECT_EQ(snapshot.getText(), "no zero");

    desktop.clipboard.setContent({{15, "drop"}, {registered("FileName"), "C:\\a.txt\0junk"s}});
    snapshot.capture();
    EXPECT_EQ(snapshot.getText(), "C:\\a.txt");
    EXPECT_EQ(snapshot.getDataTypes(), (std::vector<std::string>{"File"}));
}

TEST_F(ClipboardTest, NamesFormatsAndSortsThemIntoDataTypes) {
    EXPECT_EQ(ClipboardHelper::getFormatName(13), "CF_UNICODETEXT");
    EXPECT_EQ(ClipboardHelper::getFormatName(130), "CF_DSPBITMAP");
    EXPECT_EQ(ClipboardHelper::getFormatName(14), "CF_UNKNOWN");
    const unsigned rtf = registered("Rich Text Format");
    EXPECT_GE(rtf, 0xC000u);
    EXPECT_EQ(registered("RICH TEXT FORMAT"), rtf);
    EXPECT_EQ(ClipboardHelper::getFormatName(rtf), "Rich Text Format");

    EXPECT_EQ(ClipboardHelper::getDataTypes({13, 8, 1}),
              (std::vector<std::string>{"Text", "Bitmap"}));
    EXPECT_EQ(ClipboardHelper::getDataTypes({9, registered("HTML Format"), 15, 4, 12, 3, 129}),
              (std::vector<std::string>{"Text", "Bitmap", "Audio", "Symb. link", "File", "Html",
                                        "Palette"}));
    EXPECT_TRUE(ClipboardHelper::getDataTypes({14, 17, rtf}).empty());
    // A stored snapshot's kinds do not depend on what the clipboard holds now.
    desktop.clipboard.setContent({{registered("HTML Format"), "<p>"}});
    EXPECT_EQ(ClipboardHelper::getDataTypes({registered("HTML Format")}),
              (std::vector<std::string>{"Html"}));
}

TEST_F(ClipboardTest, MediaTypeNamesOfTheX11DesktopSelectTheirDataTypes) {
    const struct {
        const char* formatName;
        std::vector<std::string> types;
    } cases[] = {
        {"image/png", {"Bitmap"}},
        {"image/jpeg", {"Bitmap"}},
        {"image/", {}},
        {"text/html", {"Html"}},
        {"text/uri-list", {"File"}},
        {"x-special/gnome-copied-files", {"File"}},
        {"text/richtext", {}},
        {"application/x-image/png", {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ClipboardHelper::getDataTypes({registered(c.formatName)}), c.types)
            << c.formatName;
    }
    EXPECT_EQ(ClipboardHelper::getDataTypes({registered("text/uri-list"), registered("image/png"),
                                             registered("text/html"), 1}),
              (std::vector<std::string>{"Text", "Bitmap", "File", "Html"}));
}

TEST_F(ClipboardTest, FailuresRaiseTheirOwnExceptionsAndCloseTheClipboard) {
    const std::string deniedText = platform::errorresources::SystemErrors::map(5);
    const struct {
        Operation operation;
        bool duringRestore;
        std::string message;
    } cases[] = {
        {Operation::Open, false, "Error when opening the clipboard.\n" + deniedText},
        {Operation::Enumerate, false,
         "Error when enumerating the clipboard to get the current format.\n" + deniedText},
        {Operation::Open, true, "Error when opening the clipboard.\n" + deniedText},
        {Operation::Empty, true, "Error when emptying the clipboard. " + deniedText},
        {Operation::SetData, true, "Error when setting the clipboard data. " + deniedText},
    };
    for (const auto& c : cases) {
        desktop.clipboard.clearFailures();
        desktop.clipboard.setContent({{1, "a\0"s}, {7, "b\0"s}});
        Clipboard snapshot("Clipboard");
        if (c.duringRestore) {
            ASSERT_TRUE(snapshot.capture());
        }
        desktop.clipboard.fail(c.operation, os::error::AccessDenied);
        try {
            c.duringRestore ? snapshot.restore() : (void)snapshot.capture();
            ADD_FAILURE() << c.message;
        } catch (const windows::clipboard::ClipboardException& e) {
            EXPECT_EQ(e.getMessage(), c.message);
        }
        EXPECT_FALSE(desktop.clipboard.isOpen()) << c.message;
        EXPECT_EQ(desktop.memory.liveBlocks(), snapshot.getEntries().size()) << c.message;
        EXPECT_EQ(snapshot.getFormats().size(), c.duringRestore ? 2u : 0u);
    }
}

TEST_F(ClipboardTest, DataObjectFailuresTellWhichStepFailed) {
    desktop.clipboard.setContent({{1, "a\0"s}});
    desktop.clipboard.fail(Operation::DataObject, os::error::AccessDenied);
    try {
        ClipboardHelper::getClipboardData(1);
        ADD_FAILURE();
    } catch (const windows::clipboard::CouldNotGetCurrentClipboardException& e) {
        EXPECT_EQ(e.getMessage(), "Error when getting the current clipboard. ");
    }
    desktop.clipboard.clearFailures();
    desktop.clipboard.failFormat(1, os::error::InvalidData);
    try {
        ClipboardHelper::getClipboardData(1);
        ADD_FAILURE();
    } catch (const windows::clipboard::CouldNotGetCurrentClipboardException& e) {
        EXPECT_EQ(e.getMessage(), "Error when getting the data from the current clipboard. ");
    }
}

TEST_F(ClipboardTest, AFailingCloseIsReportedOnly) {
    ClipboardHelper::openClipboard();
    desktop.clipboard.fail(Operation::Close, os::error::AccessDenied);
    ClipboardHelper::closeClipboard();
    EXPECT_TRUE(assertions.reported("false"));
}

TEST_F(ClipboardTest, ClipboardIsOpenedByOneThreadAtATime) {
    ClipboardHelper::openClipboard();
    bool openedElsewhere = true;
    int errorCode = 0;
    std::thread other([&] {
        openedElsewhere = os::clipboard().open(0);
        errorCode = os::errors().lastError();
    });
    other.join();
    ClipboardHelper::closeClipboard();
    EXPECT_FALSE(openedElsewhere);
    EXPECT_EQ(errorCode, os::error::AccessDenied);
    EXPECT_EQ(os::clipboard().enumFormats(0), 0u);  // closed again
    EXPECT_EQ(os::errors().lastError(), os::error::ClipboardNotOpen);
}

}  // namespace
