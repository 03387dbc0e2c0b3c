#pragma once

#include "os/Clipboard.h"
#include "os/Errors.h"
#include "os/GlobalMemory.h"

#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace os::posix {

// A clipboard that lives inside one process: the formats in the order they were set, each
// with its bytes, and the names registered for formats. It keeps its content when the
// program part that set it is gone, as the system's clipboard does. Some standard formats
// exist only as other kinds of object (a bitmap handle, a metafile) and are never delivered
// as a memory block.
class InProcessClipboard : public Clipboard {
public:
    struct Format {
        unsigned format = 0;
        std::string bytes;
        // Only as another kind of object: listed, but never delivered as a memory block.
        bool handleOnly = false;

        bool operator==(const Format&) const = default;
    };

    InProcessClipboard(Errors& errors, GlobalMemory& memory);

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

    // The formats standard on the system the program was designed for that are handles to
    // other objects rather than memory blocks.
    static bool isHandleFormat(unsigned format);

    // What another application's copy leaves: replaces the whole content.
    void setContent(std::vector<Format> formats, WindowHandle owner = 0);
    std::vector<Format> content() const;
    WindowHandle owner() const;
    // What another application's selection leaves on the primary selection; nothing: none.
    void setPrimaryText(std::optional<std::string> text);
    std::optional<std::string> primaryText() const;
    bool isOpen() const;
    // Grows with every change of the content.
    unsigned sequenceNumber() const;

protected:
    Errors& errors() const { return errors_; }

private:
    bool isOpenedByCaller() const;
    bool fail(int code) const;

    Errors& errors_;
    GlobalMemory& memory_;
    mutable std::mutex mutex_;
    std::vector<Format> formats_;
    std::optional<std::string> primary_;
    std::optional<std::thread::id> openedBy_;
    WindowHandle openOwner_ = 0;
    WindowHandle owner_ = 0;
    unsigned sequence_ = 0;
    std::map<std::string, unsigned> registered_;  // by upper-case name
    std::map<unsigned, std::string> names_;
    unsigned nextRegistered_ = cf::FirstRegistered;
};

}  // namespace os::posix
