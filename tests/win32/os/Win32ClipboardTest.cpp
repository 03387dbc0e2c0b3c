#include "os/ErrorCodes.h"
#include "os/win32/Win32Clipboard.h"
#include "win32/os/ScriptedDataObject.h"

#include <algorithm>
#include <windows.h>
// After windows.h, which it relies on.
#include <cstring>
#include <ole2.h>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

namespace os::win32 {
namespace {

using namespace std::string_literals;

const std::string TestFormatName = "Pastrix Test Format";
// Zero bytes inside and at the end, and every high bit: nothing may treat it as text.
const std::string BinaryBytes = "\x00\x01PX\x00\xff\x80\x7f\x00\x00"s;

HGLOBAL blockWith(const std::string& bytes) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    if (block != nullptr) {
        std::memcpy(GlobalLock(block), bytes.data(), bytes.size());
        GlobalUnlock(block);
    }
    return block;
}

std::string bytesOf(MemoryHandle handle) {
    const auto block = reinterpret_cast<HGLOBAL>(handle);
    const SIZE_T size = GlobalSize(block);
    const void* data = GlobalLock(block);
    if (data == nullptr) {
        return {};
    }
    std::string bytes(static_cast<const char*>(data), size);
    GlobalUnlock(block);
    return bytes;
}

// The bytes of a format through getData, or what went wrong.
std::string readFormat(Win32Clipboard& clipboard, unsigned format) {
    MemoryHandle block = 0;
    const ClipboardData result = clipboard.getData(format, block);
    if (result != ClipboardData::Delivered) {
        return "<not delivered: " + std::to_string(static_cast<int>(result)) + ", error " +
               std::to_string(GetLastError()) + ">";
    }
    std::string bytes = bytesOf(block);
    GlobalFree(reinterpret_cast<HGLOBAL>(block));
    return bytes;
}

std::string besideThisProgram(const std::string& file) {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string directory(path);
    return directory.substr(0, directory.find_last_of("\\/") + 1) + file;
}

// Starts the clipboard peer; a null handle when it could not be started.
HANDLE startPeer(const std::string& arguments) {
    std::string commandLine =
        "\"" + besideThisProgram("pastrix_clipboard_peer.exe") + "\" " + arguments;
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        return nullptr;
    }
    CloseHandle(process.hThread);
    return process.hProcess;
}

// The peer's exit code, or -1 when it did not start or end within 10 s.
int finishPeer(HANDLE process) {
    if (process == nullptr) {
        return -1;
    }
    DWORD code = static_cast<DWORD>(-1);
    if (WaitForSingleObject(process, 10000) != WAIT_OBJECT_0) {
        TerminateProcess(process, 99);
    } else {
        GetExitCodeProcess(process, &code);
    }
    CloseHandle(process);
    return static_cast<int>(code);
}

std::string hex(const std::string& bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string text;
    for (const char byte : bytes) {
        text += digits[static_cast<unsigned char>(byte) >> 4];
        text += digits[static_cast<unsigned char>(byte) & 0x0F];
    }
    return text;
}

// Another process that opens the clipboard and keeps it open until it is told to let go.
class ClipboardHolder {
public:
    explicit ClipboardHolder(const std::string& name) {
        const std::string id = std::to_string(GetCurrentProcessId());
        const std::string ready = name + "Ready" + id;
        const std::string go = name + "Go" + id;
        ready_ = CreateEventA(nullptr, TRUE, FALSE, ready.c_str());
        go_ = CreateEventA(nullptr, TRUE, FALSE, go.c_str());
        if (ready_ != nullptr && go_ != nullptr) {
            peer_ = startPeer("hold " + ready + " " + go);
        }
    }
    ~ClipboardHolder() {
        letGo();
        finish();
        CloseHandle(ready_);
        CloseHandle(go_);
    }
    ClipboardHolder(const ClipboardHolder&) = delete;
    ClipboardHolder& operator=(const ClipboardHolder&) = delete;

    // Whether the peer has the clipboard open now.
    bool holds() const {
        return peer_ != nullptr && WaitForSingleObject(ready_, 10000) == WAIT_OBJECT_0;
    }
    void letGo() const { SetEvent(go_); }
    // The peer's exit status once it ended; -1 when it never ran.
    int finish() {
        const int status = peer_ != nullptr ? finishPeer(peer_) : -1;
        peer_ = nullptr;
        return status;
    }

private:
    HANDLE ready_ = nullptr;
    HANDLE go_ = nullptr;
    HANDLE peer_ = nullptr;
};

class Win32ClipboardTest : public ::testing::Test {
protected:
    void SetUp() override {
        owner_ = CreateWindowExA(0, "STATIC", "clipboard owner", 0, 0, 0, 10, 10, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(owner_, nullptr);
        testFormat_ = clipboard_.registerFormat(TestFormatName);
        ASSERT_NE(testFormat_, 0u);
    }

    void TearDown() override {
        // A failed assertion may have left the clipboard open.
        CloseClipboard();
        DestroyWindow(owner_);
    }

    WindowHandle owner() const { return reinterpret_cast<WindowHandle>(owner_); }

    // Replaces the clipboard's content with the formats and bytes given.
    void put(const std::vector<std::pair<unsigned, std::string>>& formats) {
        ASSERT_TRUE(clipboard_.open(owner()));
        ASSERT_TRUE(clipboard_.empty());
        for (const auto& [format, bytes] : formats) {
            HGLOBAL block = blockWith(bytes);
            ASSERT_NE(block, nullptr);
            ASSERT_EQ(clipboard_.setData(format, reinterpret_cast<MemoryHandle>(block)),
                      reinterpret_cast<MemoryHandle>(block));
        }
        ASSERT_TRUE(clipboard_.close());
    }

    std::vector<unsigned> enumerate(DWORD& endError) {
        std::vector<unsigned> formats;
        unsigned format = 0;
        while ((format = clipboard_.enumFormats(format)) != 0) {
            formats.push_back(format);
        }
        endError = GetLastError();
        return formats;
    }

    Win32Clipboard clipboard_;
    HWND owner_ = nullptr;
    unsigned testFormat_ = 0;
};

TEST_F(Win32ClipboardTest, TextAndRegisteredFormatSetHereComeBackByteForByte) {
    put({{cf::Text, "slot text\r\nsecond line\0"s}, {testFormat_, BinaryBytes}});

    EXPECT_TRUE(clipboard_.isFormatAvailable(cf::Text));
    EXPECT_TRUE(clipboard_.isFormatAvailable(testFormat_));
    const std::string text = readFormat(clipboard_, cf::Text);
    // A text block may come back longer than it went; the text and its end are what count.
    EXPECT_EQ(text.substr(0, text.find('\0') + 1), "slot text\r\nsecond line\0"s);
    EXPECT_EQ(readFormat(clipboard_, testFormat_), BinaryBytes);
}

TEST_F(Win32ClipboardTest, DataSetByAnotherProcessComesBackByteForByteAfterItEnded) {
    const std::string peerText = "from the peer";
    ASSERT_EQ(finishPeer(startPeer("set \"" + peerText + "\" " + hex(BinaryBytes))), 0);

    const std::string text = readFormat(clipboard_, cf::Text);
    EXPECT_EQ(text.substr(0, text.find('\0')), peerText);
    EXPECT_EQ(readFormat(clipboard_, testFormat_), BinaryBytes);

    ASSERT_TRUE(clipboard_.open(owner()));
    DWORD endError = 1;
    const std::vector<unsigned> formats = enumerate(endError);
    EXPECT_TRUE(clipboard_.close());
    EXPECT_EQ(endError, DWORD{ERROR_SUCCESS});
    EXPECT_NE(std::find(formats.begin(), formats.end(), cf::Text), formats.end());
    EXPECT_NE(std::find(formats.begin(), formats.end(), testFormat_), formats.end());
}

TEST_F(Win32ClipboardTest, OpeningWhileAnotherProcessHoldsTheClipboardFails) {
    ClipboardHolder holder("PastrixPeer");
    ASSERT_TRUE(holder.holds());

    SetLastError(ERROR_SUCCESS);
    const bool opened = clipboard_.open(owner());
    const DWORD error = GetLastError();
    holder.letGo();
    EXPECT_EQ(holder.finish(), 0);

    ASSERT_FALSE(opened);
    EXPECT_EQ(error, DWORD{error::AccessDenied});
    // Once the peer let go, the clipboard is there to have.
    EXPECT_TRUE(clipboard_.open(owner()));
    EXPECT_TRUE(clipboard_.close());
}

TEST_F(Win32ClipboardTest, OpeningWaitsForAnotherProcessThatHoldsTheClipboardOnlyMomentarily) {
    ClipboardHolder holder("PastrixPeerBrief");
    ASSERT_TRUE(holder.holds());

    // The peer lets go well within the bound, while the open is already waiting.
    std::thread release([&holder] {
        Sleep(100);
        holder.letGo();
    });
    const bool opened = clipboard_.open(owner());
    release.join();
    EXPECT_EQ(holder.finish(), 0);

    ASSERT_TRUE(opened);
    EXPECT_TRUE(clipboard_.close());
}

TEST_F(Win32ClipboardTest, RegisteredFormatsAreNamedAndTheSameForNamesThatDifferInCase) {
    EXPECT_GE(testFormat_, cf::FirstRegistered);
    EXPECT_LE(testFormat_, cf::LastRegistered);
    EXPECT_EQ(clipboard_.registerFormat("PASTRIX test FORMAT"), testFormat_);
    EXPECT_NE(clipboard_.registerFormat("Pastrix Test Format 2"), testFormat_);

    std::string name;
    EXPECT_EQ(clipboard_.getFormatName(testFormat_, name, 256),
              static_cast<int>(TestFormatName.size()));
    EXPECT_EQ(name, TestFormatName);
    // Cut to the buffer, less the terminator.
    EXPECT_EQ(clipboard_.getFormatName(testFormat_, name, 8), 7);
    EXPECT_EQ(name, "Pastrix");
    EXPECT_EQ(clipboard_.getFormatName(testFormat_, name, 0), 0);
    EXPECT_EQ(name, "");
    // Standard formats have no registered name.
    EXPECT_EQ(clipboard_.getFormatName(cf::Text, name, 256), 0);
    EXPECT_EQ(name, "");
}

TEST_F(Win32ClipboardTest, ANameWithAZeroInsideIsRefusedRatherThanCut) {
    EXPECT_EQ(clipboard_.registerFormat("Pastrix Test Format\0Other"s), 0u);
    EXPECT_EQ(GetLastError(), DWORD{error::InvalidName});
}

TEST_F(Win32ClipboardTest, EnumerationListsWhatWasSetInOrderAndEndsWithLastErrorZero) {
    put({{testFormat_, BinaryBytes}, {cf::Text, "abc\0"s}});

    ASSERT_TRUE(clipboard_.open(owner()));
    // A stale code from before must not read as a failed enumeration.
    SetLastError(ERROR_ACCESS_DENIED);
    DWORD endError = 1;
    const std::vector<unsigned> formats = enumerate(endError);
    EXPECT_TRUE(clipboard_.close());

    EXPECT_EQ(endError, DWORD{ERROR_SUCCESS});
    ASSERT_GE(formats.size(), 2u);
    EXPECT_EQ(formats[0], testFormat_);
    EXPECT_EQ(formats[1], cf::Text);
}

TEST_F(Win32ClipboardTest, WritingNeedsTheClipboardOpenAndAFailedSetLeavesTheBlockToTheCaller) {
    SetLastError(ERROR_SUCCESS);
    EXPECT_FALSE(clipboard_.empty());
    EXPECT_EQ(GetLastError(), DWORD{error::ClipboardNotOpen});

    HGLOBAL block = blockWith(BinaryBytes);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(clipboard_.setData(testFormat_, reinterpret_cast<MemoryHandle>(block)), 0u);
    // Still ours, whole.
    EXPECT_EQ(bytesOf(reinterpret_cast<MemoryHandle>(block)), BinaryBytes);
    EXPECT_EQ(GlobalFree(block), nullptr);

    ASSERT_TRUE(clipboard_.open(owner()));
    EXPECT_EQ(clipboard_.setData(testFormat_, 0), 0u);
    EXPECT_EQ(GetLastError(), DWORD{error::InvalidParameter});
    EXPECT_TRUE(clipboard_.close());
}

TEST_F(Win32ClipboardTest, ABitmapIsNotDeliveredAsAMemoryBlockAndStaysOnTheClipboard) {
    const unsigned char pixels[8] = {0xAA, 0, 0x55, 0, 0xAA, 0, 0x55, 0};
    HBITMAP bitmap = CreateBitmap(8, 4, 1, 1, pixels);
    ASSERT_NE(bitmap, nullptr);
    ASSERT_TRUE(clipboard_.open(owner()));
    ASSERT_TRUE(clipboard_.empty());
    ASSERT_NE(clipboard_.setData(cf::Bitmap, reinterpret_cast<MemoryHandle>(bitmap)), 0u);
    HGLOBAL block = blockWith(BinaryBytes);
    ASSERT_NE(clipboard_.setData(testFormat_, reinterpret_cast<MemoryHandle>(block)), 0u);
    ASSERT_TRUE(clipboard_.close());
    ASSERT_TRUE(clipboard_.isFormatAvailable(cf::Bitmap));

    for (const unsigned format :
         {cf::Bitmap, cf::Palette, cf::EnhMetafile, cf::MetafilePict, cf::DspBitmap}) {
        MemoryHandle handle = 1;
        EXPECT_EQ(clipboard_.getData(format, handle), ClipboardData::NotDelivered) << format;
        EXPECT_EQ(handle, 0u) << format;
        EXPECT_NE(GetLastError(), DWORD{ERROR_SUCCESS}) << format;
    }

    // The memory block beside it comes whole, and the bitmap is still there for others.
    EXPECT_EQ(readFormat(clipboard_, testFormat_), BinaryBytes);
    ASSERT_TRUE(clipboard_.open(owner()));
    BITMAP kept{};
    const auto onClipboard = static_cast<HBITMAP>(GetClipboardData(CF_BITMAP));
    ASSERT_NE(onClipboard, nullptr);
    EXPECT_EQ(GetObjectA(onClipboard, sizeof(kept), &kept), int{sizeof(kept)});
    EXPECT_TRUE(clipboard_.close());
    EXPECT_EQ(kept.bmWidth, 8);
    EXPECT_EQ(kept.bmHeight, 4);
}

TEST_F(Win32ClipboardTest, AFormatThatIsNotThereIsNotDelivered) {
    put({{cf::Text, "only text\0"s}});

    MemoryHandle block = 0;
    EXPECT_EQ(clipboard_.getData(testFormat_, block), ClipboardData::NotDelivered);
    EXPECT_EQ(block, 0u);
    EXPECT_NE(GetLastError(), DWORD{ERROR_SUCCESS});
    // An identifier past the format range must not be cut to one that is there.
    EXPECT_EQ(clipboard_.getData(0x10000 + cf::Text, block), ClipboardData::NotDelivered);
    EXPECT_EQ(block, 0u);
}

TEST_F(Win32ClipboardTest, DataIsReadOnAThreadOfItsOwnAndAgainAfterThatThreadEnded) {
    put({{testFormat_, BinaryBytes}});

    for (int round = 0; round < 2; ++round) {
        std::string seen;
        std::thread reader([&] { seen = readFormat(clipboard_, testFormat_); });
        reader.join();
        EXPECT_EQ(seen, BinaryBytes) << "round " << round;
    }
    EXPECT_EQ(readFormat(clipboard_, testFormat_), BinaryBytes);
}

// Windows' clipboard history, its cloud clipboard and clipboard viewers skip content that
// carries these formats; each holds a 32-bit 0 and is known as a mark whatever its case.
TEST_F(Win32ClipboardTest, TransientContentCarriesTheMarksThatHistoriesSkip) {
    ASSERT_TRUE(clipboard_.open(owner()));
    ASSERT_TRUE(clipboard_.empty());
    HGLOBAL block = blockWith("slot\0"s);
    ASSERT_EQ(clipboard_.setData(cf::Text, reinterpret_cast<MemoryHandle>(block)),
              reinterpret_cast<MemoryHandle>(block));
    ASSERT_TRUE(clipboard_.markTransient());
    ASSERT_TRUE(clipboard_.close());

    DWORD endError = 0;
    ASSERT_TRUE(clipboard_.open(owner()));
    const std::vector<unsigned> formats = enumerate(endError);
    ASSERT_TRUE(clipboard_.close());
    for (const char* name :
         {"ExcludeClipboardContentFromMonitorProcessing", "Clipboard Viewer Ignore",
          "CanIncludeInClipboardHistory", "CanUploadToCloudClipboard"}) {
        SCOPED_TRACE(name);
        const unsigned mark = RegisterClipboardFormatA(name);
        EXPECT_NE(std::find(formats.begin(), formats.end(), mark), formats.end());
        EXPECT_EQ(readFormat(clipboard_, mark), std::string(4, '\0'));
        EXPECT_TRUE(clipboard_.isMark(mark));
    }
    EXPECT_TRUE(clipboard_.isMark(RegisterClipboardFormatA("clipboard viewer ignore")));
    EXPECT_FALSE(clipboard_.isMark(cf::Text));
    EXPECT_FALSE(clipboard_.isMark(testFormat_));
    EXPECT_EQ(readFormat(clipboard_, cf::Text), "slot\0"s);
    // Another process, reading as a history does, finds them all.
    EXPECT_EQ(finishPeer(startPeer("marks")), 0);

    // Content put without the marks has none left from before.
    put({{cf::Text, "user\0"s}});
    EXPECT_EQ(finishPeer(startPeer("marks")), 5);
    ASSERT_TRUE(clipboard_.open(owner()));
    const std::vector<unsigned> plain = enumerate(endError);
    ASSERT_TRUE(clipboard_.close());
    EXPECT_FALSE(plain.empty());
    EXPECT_EQ(std::count_if(plain.begin(), plain.end(),
                            [this](unsigned format) { return clipboard_.isMark(format); }),
              0);
}

// A password manager's copy from another process: which mark it carries, and what it holds,
// says whether the content is a secret.
TEST_F(Win32ClipboardTest, AnOwnersMarksSayWhetherItsContentIsSecret) {
    const auto secretBy = [this](const std::string& mark, const std::string& value) {
        EXPECT_EQ(finishPeer(startPeer("set hunter2 " + value + " \"" + mark + "\"")), 0);
        const unsigned format = RegisterClipboardFormatA(mark.c_str());
        EXPECT_TRUE(clipboard_.isFormatAvailable(format));
        return clipboard_.isMark(format) &&
               clipboard_.marksSecret(format, readFormat(clipboard_, format));
    };
    EXPECT_TRUE(secretBy("ExcludeClipboardContentFromMonitorProcessing", "00000000"));
    EXPECT_TRUE(secretBy("Clipboard Viewer Ignore", "01"));
    EXPECT_TRUE(secretBy("CanIncludeInClipboardHistory", "00000000"));
    EXPECT_FALSE(secretBy("CanIncludeInClipboardHistory", "01000000"));
    EXPECT_FALSE(secretBy("CanUploadToCloudClipboard", "00000000"));
    EXPECT_FALSE(secretBy("Pastrix Test Format", "00000000"));
    EXPECT_EQ(readFormat(clipboard_, cf::Text), "hunter2\0"s);
}

TEST_F(Win32ClipboardTest, ThereIsNoPrimarySelection) {
    put({{cf::Text, "kept\0"s}});

    SetLastError(ERROR_SUCCESS);
    EXPECT_FALSE(clipboard_.offerClipboardAsPrimary());
    EXPECT_EQ(GetLastError(), DWORD{error::NotSupported});
    std::string text = "stale";
    EXPECT_FALSE(clipboard_.getPrimaryText(text));
    EXPECT_EQ(GetLastError(), DWORD{error::NotSupported});
    EXPECT_EQ(text, "");
    // Nothing of the clipboard was lost on the way.
    const std::string kept = readFormat(clipboard_, cf::Text);
    EXPECT_EQ(kept.substr(0, kept.find('\0')), "kept");
}

// An owner that puts a data object on the clipboard answers as it likes.
class Win32ClipboardOwnerTest : public Win32ClipboardTest {
protected:
    void SetUp() override {
        Win32ClipboardTest::SetUp();
        ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
    }
    void TearDown() override {
        OleSetClipboard(nullptr);
        OleUninitialize();
        Win32ClipboardTest::TearDown();
    }

    static STGMEDIUM memoryWith(const std::string& bytes) {
        STGMEDIUM medium{};
        medium.tymed = TYMED_HGLOBAL;
        medium.hGlobal = blockWith(bytes);
        return medium;
    }
};

TEST_F(Win32ClipboardOwnerTest, AnswersThatAreNoMemoryBlockAreNotDeliveredAndNothingLeaks) {
    static const unsigned empty = RegisterClipboardFormatA("Pastrix Empty Handle");
    static const unsigned stream = RegisterClipboardFormatA("Pastrix Stream");
    static const unsigned nothing = RegisterClipboardFormatA("Pastrix Nothing");
    static const unsigned refused = RegisterClipboardFormatA("Pastrix Refused");
    static const unsigned file = RegisterClipboardFormatA("Pastrix File");
    test::ScriptedDataObject owner;
    owner.answer(static_cast<CLIPFORMAT>(testFormat_),
                 {S_OK, [] { return memoryWith(BinaryBytes); }});
    owner.answer(static_cast<CLIPFORMAT>(empty), {S_OK, [] {
                                                      STGMEDIUM medium{};
                                                      medium.tymed = TYMED_HGLOBAL;
                                                      return medium;
                                                  }});
    owner.answer(static_cast<CLIPFORMAT>(stream),
                 {S_OK,
                  [] {
                      STGMEDIUM medium{};
                      medium.tymed = TYMED_ISTREAM;
                      CreateStreamOnHGlobal(nullptr, TRUE, &medium.pstm);
                      return medium;
                  }},
                 TYMED_ISTREAM);
    owner.answer(static_cast<CLIPFORMAT>(nothing), {S_OK, nullptr});
    owner.answer(static_cast<CLIPFORMAT>(refused), {E_OUTOFMEMORY, nullptr});
    // A file name where a memory block was asked for: its memory is a heap block, which the
    // memory calls would take for a block of bytes.
    owner.answer(static_cast<CLIPFORMAT>(file),
                 {S_OK,
                  [] {
                      static const wchar_t name[] = L"Z:\\nonexistent\\pastrix-not-a-file";
                      STGMEDIUM medium{};
                      medium.tymed = TYMED_FILE;
                      medium.lpszFileName = static_cast<LPOLESTR>(CoTaskMemAlloc(sizeof(name)));
                      std::memcpy(medium.lpszFileName, name, sizeof(name));
                      return medium;
                  }},
                 TYMED_FILE);
    // A bitmap handed over as if it were a memory block.
    owner.answer(CF_BITMAP, {S_OK, [] {
                                 STGMEDIUM medium{};
                                 medium.tymed = TYMED_HGLOBAL;
                                 medium.hGlobal = CreateBitmap(4, 4, 1, 1, nullptr);
                                 return medium;
                             }});
    ASSERT_EQ(OleSetClipboard(&owner), S_OK);

    EXPECT_EQ(readFormat(clipboard_, testFormat_), BinaryBytes);
    for (const unsigned format : {empty, stream, nothing, refused, file, cf::Bitmap}) {
        MemoryHandle block = 1;
        EXPECT_EQ(clipboard_.getData(format, block), ClipboardData::NotDelivered) << format;
        EXPECT_EQ(block, 0u) << format;
        EXPECT_NE(GetLastError(), DWORD{ERROR_SUCCESS}) << format;
    }
    EXPECT_GE(owner.requests(), 6);

    ASSERT_EQ(OleSetClipboard(nullptr), S_OK);
    // Every reference the clipboard and the reads took was given back.
    EXPECT_EQ(owner.AddRef(), 2u);
}

}  // namespace
}  // namespace os::win32
