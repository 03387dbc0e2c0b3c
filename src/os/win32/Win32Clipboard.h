#pragma once

#include "os/Clipboard.h"

#include <chrono>
#include <string>

namespace os::win32 {

// The system clipboard through the system's own calls. Memory handles are HGLOBALs; failures
// leave the system's last error as it set it.
//
// getData reads through OLE's view of the clipboard, which needs OLE initialised on the calling
// thread: the first getData on a thread initialises it (single-threaded apartment) and the
// thread uninitialises it when it ends. A thread that joined the multithreaded apartment before
// gets NoDataObject. Data that is not a plain memory block (bitmaps, palettes and metafiles are
// handles to system objects) is never delivered, whatever the clipboard's owner claims, because
// the caller frees what it gets as a memory block.
//
// OLE's failure codes (HRESULTs) become the last error: a code that wraps a system error as
// that error, any other as the HRESULT itself, which the system has a text for.
class Win32Clipboard final : public Clipboard {
public:
    static constexpr std::chrono::milliseconds OpenBound{500};
    static constexpr unsigned long OpenRetryPauseMs = 5;

    // Waits up to OpenBound while another program has the clipboard open.
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
    // Windows has no primary selection: both fail with error::NotSupported.
    bool offerClipboardAsPrimary() override;
    bool getPrimaryText(std::string& text) override;
};

}  // namespace os::win32
