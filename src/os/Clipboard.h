#pragma once

#include "os/Types.h"

#include <string>

namespace os {

// Standard clipboard formats keep the numbers of the system the program was designed for, on
// every backend, because slot files store them.
namespace cf {
inline constexpr unsigned Text = 1;
inline constexpr unsigned Bitmap = 2;
inline constexpr unsigned MetafilePict = 3;
inline constexpr unsigned Sylk = 4;
inline constexpr unsigned Dif = 5;
inline constexpr unsigned Tiff = 6;
inline constexpr unsigned OemText = 7;
inline constexpr unsigned Dib = 8;
inline constexpr unsigned Palette = 9;
inline constexpr unsigned PenData = 10;
inline constexpr unsigned Riff = 11;
inline constexpr unsigned Wave = 12;
inline constexpr unsigned UnicodeText = 13;
inline constexpr unsigned EnhMetafile = 14;
inline constexpr unsigned HDrop = 15;
inline constexpr unsigned Locale = 16;
inline constexpr unsigned DibV5 = 17;
inline constexpr unsigned OwnerDisplay = 0x80;
inline constexpr unsigned DspText = 0x81;
inline constexpr unsigned DspBitmap = 0x82;
inline constexpr unsigned DspMetafilePict = 0x83;
inline constexpr unsigned DspEnhMetafile = 0x8E;
// Formats registered by name get identifiers from here up.
inline constexpr unsigned FirstRegistered = 0xC000;
inline constexpr unsigned LastRegistered = 0xFFFF;
}  // namespace cf

// How a format's data came back through the clipboard's data object.
enum class ClipboardData {
    Delivered,     // the block holds a copy of the format's bytes
    NoDataObject,  // the clipboard's data object could not be had
    NotDelivered,  // the format exists only as another kind of object, or could not be read
};

// The system clipboard. Failures leave their reason in the thread's last error.
class Clipboard {
public:
    virtual ~Clipboard() = default;

    // The clipboard is opened by one thread at a time; opening it while another holds it fails
    // with error::AccessDenied.
    virtual bool open(WindowHandle owner) = 0;
    virtual bool close() = 0;
    // Removes every format and makes the opener the clipboard's owner. Needs the clipboard
    // open (error::ClipboardNotOpen otherwise).
    virtual bool empty() = 0;
    // The format after `format` in the clipboard's order (0 asks for the first). 0 ends the
    // enumeration with last error 0; 0 with another code is a failure. Needs the clipboard
    // open.
    virtual unsigned enumFormats(unsigned format) = 0;
    // The data-object path: a new memory block that the caller owns and frees, holding the
    // format's bytes. Only data that exists as a memory block is delivered. Needs no open.
    virtual ClipboardData getData(unsigned format, MemoryHandle& block) = 0;
    // Puts a memory block on the clipboard under the format, replacing the format's earlier
    // data. On success the clipboard owns the block and the result is the block; on failure
    // the result is 0 and the caller still owns it. Needs the clipboard open.
    virtual MemoryHandle setData(unsigned format, MemoryHandle block) = 0;
    virtual bool isFormatAvailable(unsigned format) const = 0;
    // The identifier of a format name, the same for the same name (letter case aside) for the
    // lifetime of the process; 0 on failure.
    virtual unsigned registerFormat(const std::string& name) = 0;
    // The registered name of a format, cut to bufferSize - 1 characters; returns its length,
    // 0 when the format has no registered name (standard formats have none).
    virtual int getFormatName(unsigned format, std::string& name, int bufferSize) const = 0;
    // Takes `remove` out of the chain of clipboard viewers, `next` following in its place.
    virtual bool changeClipboardChain(WindowHandle remove, WindowHandle next) = 0;

    // What the opener puts on the clipboard in this opening is there only for a moment, for a
    // copy or paste keystroke: it is marked so that clipboard histories and viewers do not
    // record it. The marks go when the content is replaced. Needs the clipboard open.
    virtual bool markTransient() = 0;
    // Whether the format is one of those marks rather than content.
    virtual bool isMark(unsigned format) const = 0;
    // Whether the mark, holding these bytes, says that its owner keeps the content secret (a
    // password manager's copy of a password): such content is kept in memory only.
    virtual bool marksSecret(unsigned format, const std::string& bytes) const = 0;

    // The primary selection, on desktops that have one (X11: the text the user selected last),
    // for applications that paste from it or whose selection is what they copy. Without one
    // both fail with error::NotSupported.
    // Offers what the clipboard holds now on the primary selection too; it stays there until
    // another application selects something.
    virtual bool offerClipboardAsPrimary() = 0;
    // The primary selection's text in the 8-bit code page; false when nobody offers text.
    virtual bool getPrimaryText(std::string& text) = 0;
};

}  // namespace os
