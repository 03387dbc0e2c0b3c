#pragma once

#include "os/Clipboard.h"
#include "os/Errors.h"
#include "os/GlobalMemory.h"
#include "os/x11/ClipboardFormatTable.h"
#include "os/x11/SelectionContent.h"

#include <chrono>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace os::x11 {

class SelectionReader;
class SelectionServer;

// The system clipboard of an X11 desktop: the CLIPBOARD selection. "CF_TEXT" stands for
// UTF8_STRING (UTF-8 is this platform's 8-bit code page); every other target is a registered
// format named after the target, with an identifier kept across runs.
//
// The clipboard is opened by one thread of the program at a time. What the opener empties and
// sets is offered to other clients when it closes the clipboard; until then they see the
// earlier content. Two waits make the program's copy and paste keystrokes finish when the
// application has really acted on them:
// - after the program emptied the clipboard, the next look at it waits (up to CopyWait) for
//   another client to take the selection, since an application copies some time after the
//   keystroke reached it;
// - after a client fetched the program's data, the next change of the clipboard waits until
//   the client is done with it: it took the selection itself or stopped asking for PasteQuiet,
//   then PasteSettle more, at most PasteCap in all.
//   Data offered less than PasteFirstRequest ago that nobody fetched yet is waited for as
//   well: the paste keystroke may still be on its way to the application.
// The bounds only cost time when the application does nothing (nothing selected, a window that
// does not paste); on a loaded machine an editor took more than half a second to copy.
class X11Clipboard final : public Clipboard {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr auto CopyWait = std::chrono::milliseconds(1500);
    static constexpr auto PasteQuiet = std::chrono::milliseconds(50);
    static constexpr auto PasteSettle = std::chrono::milliseconds(75);
    static constexpr auto PasteCap = std::chrono::milliseconds(500);
    static constexpr auto PasteFirstRequest = std::chrono::milliseconds(1000);
    static constexpr auto HandOverWait = std::chrono::milliseconds(1000);

    // The format table file; ClipboardFormatTable::defaultPath() for the user's own.
    X11Clipboard(Errors& errors, GlobalMemory& memory, const std::string& formatTablePath);
    ~X11Clipboard() override;

    bool open(WindowHandle owner) override;
    bool close() override;
    bool empty() override;
    unsigned enumFormats(unsigned format) override;
    ClipboardData getData(unsigned format, MemoryHandle& block) override;
    MemoryHandle setData(unsigned format, MemoryHandle block) override;
    bool isFormatAvailable(unsigned format) const override;
    unsigned registerFormat(const std::string& name) override;
    int getFormatName(unsigned format, std::string& name, int bufferSize) const override;
    bool changeClipboardChain(WindowHandle remove, WindowHandle next) override;
    bool markTransient() override;
    bool isMark(unsigned format) const override;
    bool marksSecret(unsigned format, const std::string& bytes) const override;
    bool offerClipboardAsPrimary() override;
    bool getPrimaryText(std::string& text) override;

    // False when the X server could not be reached; every operation then fails.
    bool connected() const;
    // Whether a client has asked for what the program offers now, since it last changed it.
    bool fetchedSinceLastChange() const;
    // The target names a format is offered under.
    std::vector<std::string> targetNames(unsigned format) const;

private:
    // One format of the current owner and the target it is read from.
    struct Listed {
        unsigned format;
        std::string target;
    };

    bool fail(int code) const;
    bool isOpenedByCaller() const;
    // The formats on the clipboard now, in the owner's order; none when nobody owns it or the
    // owner does not answer.
    std::vector<Listed> currentFormats() const;
    void reportTableProblems() const;
    // Waits for an application to take the selection after the program emptied it.
    void awaitCopy() const;
    // Waits until a client that fetched the program's data is done with it.
    void awaitPasteConsumed() const;
    bool ownsSelection() const;

    Errors& errors_;
    GlobalMemory& memory_;
    mutable ClipboardFormatTable table_;
    // Xlib stays out of this header: its macros (None, Bool, Success...) would leak into every
    // file that uses the clipboard.
    std::unique_ptr<SelectionReader> reader_;
    std::unique_ptr<SelectionServer> server_;
    // PRIMARY, made when first needed: most runs never meet an application that pastes from it.
    std::mutex primaryMutex_;
    std::unique_ptr<SelectionReader> primaryReader_;
    std::unique_ptr<SelectionServer> primaryServer_;

    mutable std::mutex mutex_;
    std::optional<std::thread::id> openedBy_;
    // The content the opener is building, offered when it closes the clipboard.
    std::optional<SelectionContent> pending_;
    bool pendingTransient_ = false;
    // The enumeration in progress.
    std::vector<unsigned> enumerated_;
    // When the program last offered an empty clipboard that no application has taken yet.
    mutable std::optional<Clock::time_point> emptiedAt_;
    // When data (not an empty clipboard) was last offered.
    std::optional<Clock::time_point> offeredAt_;
};

}  // namespace os::x11
