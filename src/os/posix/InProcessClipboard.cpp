#include "os/posix/InProcessClipboard.h"

#include "os/ErrorCodes.h"
#include "os/common/ClipboardMarks.h"
#include "os/common/MemoryBlockCopy.h"

#include <algorithm>
#include <cctype>
#include <utility>

namespace os::posix {

namespace {

std::string upperCase(const std::string& text) {
    std::string result = text;
    std::transform(result.begin(), result.end(), result.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return result;
}

}  // namespace

InProcessClipboard::InProcessClipboard(Errors& errors, GlobalMemory& memory)
    : errors_(errors), memory_(memory) {}

bool InProcessClipboard::fail(int code) const {
    errors_.setLastError(code);
    return false;
}

bool InProcessClipboard::isOpenedByCaller() const {
    return openedBy_ && *openedBy_ == std::this_thread::get_id();
}

bool InProcessClipboard::isHandleFormat(unsigned format) {
    return format == cf::Bitmap || format == cf::MetafilePict || format == cf::Palette ||
           format == cf::EnhMetafile || format == cf::DspBitmap || format == cf::DspMetafilePict ||
           format == cf::DspEnhMetafile;
}

bool InProcessClipboard::open(WindowHandle owner) {
    std::lock_guard lock(mutex_);
    if (openedBy_ && !isOpenedByCaller()) {
        return fail(error::AccessDenied);
    }
    openedBy_ = std::this_thread::get_id();
    openOwner_ = owner;
    return true;
}

bool InProcessClipboard::close() {
    std::lock_guard lock(mutex_);
    if (!isOpenedByCaller()) {
        return fail(error::ClipboardNotOpen);
    }
    openedBy_.reset();
    openOwner_ = 0;
    return true;
}

bool InProcessClipboard::empty() {
    std::lock_guard lock(mutex_);
    if (!isOpenedByCaller()) {
        return fail(error::ClipboardNotOpen);
    }
    formats_.clear();
    owner_ = openOwner_;
    ++sequence_;
    return true;
}

unsigned InProcessClipboard::enumFormats(unsigned format) {
    std::lock_guard lock(mutex_);
    if (!isOpenedByCaller()) {
        fail(error::ClipboardNotOpen);
        return 0;
    }
    std::size_t next = 0;
    if (format != 0) {
        const auto current = std::find_if(formats_.begin(), formats_.end(),
                                          [&](const Format& f) { return f.format == format; });
        next = current == formats_.end() ? formats_.size()
                                         : static_cast<std::size_t>(current - formats_.begin()) + 1;
    }
    errors_.setLastError(error::Success);
    return next < formats_.size() ? formats_[next].format : 0;
}

ClipboardData InProcessClipboard::getData(unsigned format, MemoryHandle& block) {
    std::string bytes;
    {
        std::lock_guard lock(mutex_);
        const auto found = std::find_if(formats_.begin(), formats_.end(),
                                        [&](const Format& f) { return f.format == format; });
        if (found == formats_.end() || found->handleOnly || found->bytes.empty()) {
            errors_.setLastError(found == formats_.end() ? error::InvalidParameter
                                                         : error::InvalidData);
            return ClipboardData::NotDelivered;
        }
        bytes = found->bytes;
    }
    const MemoryHandle copy = common::MemoryBlockCopy(memory_).copyIn(bytes);
    if (copy == 0) {
        return ClipboardData::NotDelivered;
    }
    block = copy;
    return ClipboardData::Delivered;
}

MemoryHandle InProcessClipboard::setData(unsigned format, MemoryHandle block) {
    {
        std::lock_guard lock(mutex_);
        if (!isOpenedByCaller()) {
            fail(error::ClipboardNotOpen);
            return 0;
        }
    }
    if (block == 0 || format == 0) {
        // Rendering on request is not offered.
        fail(error::InvalidParameter);
        return 0;
    }
    std::optional<std::string> bytes = common::MemoryBlockCopy(memory_).takeOut(block);
    if (!bytes) {
        return 0;
    }
    Format item{format, std::move(*bytes), isHandleFormat(format)};

    std::lock_guard lock(mutex_);
    const auto found = std::find_if(formats_.begin(), formats_.end(),
                                    [&](const Format& f) { return f.format == format; });
    if (found == formats_.end()) {
        formats_.push_back(std::move(item));
    } else {
        *found = std::move(item);
    }
    ++sequence_;
    errors_.setLastError(error::Success);
    return block;
}

bool InProcessClipboard::isFormatAvailable(unsigned format) const {
    std::lock_guard lock(mutex_);
    return std::any_of(formats_.begin(), formats_.end(),
                       [&](const Format& f) { return f.format == format; });
}

unsigned InProcessClipboard::registerFormat(const std::string& name) {
    if (name.empty()) {
        fail(error::InvalidParameter);
        return 0;
    }
    std::lock_guard lock(mutex_);
    const std::string key = upperCase(name);
    const auto found = registered_.find(key);
    if (found != registered_.end()) {
        return found->second;
    }
    if (nextRegistered_ > cf::LastRegistered) {
        fail(error::NotEnoughMemory);
        return 0;
    }
    const unsigned format = nextRegistered_++;
    registered_.emplace(key, format);
    names_.emplace(format, name);
    return format;
}

int InProcessClipboard::getFormatName(unsigned format, std::string& name, int bufferSize) const {
    std::lock_guard lock(mutex_);
    const auto found = names_.find(format);
    if (found == names_.end() || bufferSize <= 0) {
        fail(error::InvalidParameter);
        name.clear();
        return 0;
    }
    name = found->second.substr(0, static_cast<std::size_t>(bufferSize - 1));
    return static_cast<int>(name.size());
}

bool InProcessClipboard::changeClipboardChain(WindowHandle /*remove*/, WindowHandle /*next*/) {
    // No viewer is ever told about changes here, so the chain has nothing to keep.
    return true;
}

bool InProcessClipboard::markTransient() {
    // Marked as the Windows clipboard is, which the program was designed for.
    std::vector<unsigned> marks;
    for (const char* name : common::ClipboardMarks::windowsMarks()) {
        const unsigned format = registerFormat(name);
        if (format == 0) {
            return false;
        }
        marks.push_back(format);
    }
    std::lock_guard lock(mutex_);
    if (!isOpenedByCaller()) {
        return fail(error::ClipboardNotOpen);
    }
    for (const unsigned format : marks) {
        Format mark{format, std::string(4, '\0'), false};
        const auto found = std::find_if(formats_.begin(), formats_.end(),
                                        [&](const Format& f) { return f.format == format; });
        if (found == formats_.end()) {
            formats_.push_back(std::move(mark));
        } else {
            *found = std::move(mark);
        }
    }
    return true;
}

bool InProcessClipboard::isMark(unsigned format) const {
    std::string name;
    return getFormatName(format, name, 256) > 0 && common::ClipboardMarks::isWindowsMark(name);
}

bool InProcessClipboard::marksSecret(unsigned format, const std::string& bytes) const {
    std::string name;
    return getFormatName(format, name, 256) > 0 && common::ClipboardMarks::isWindowsMark(name) &&
           common::ClipboardMarks::marksSecret(name, bytes);
}

bool InProcessClipboard::offerClipboardAsPrimary() {
    std::lock_guard lock(mutex_);
    for (const Format& format : formats_) {
        if (format.format == cf::Text && !format.handleOnly) {
            // The text up to its terminating zero, as a selection carries it.
            primary_ = format.bytes.substr(0, format.bytes.find('\0'));
            return true;
        }
    }
    primary_.reset();
    return true;
}

bool InProcessClipboard::getPrimaryText(std::string& text) {
    std::lock_guard lock(mutex_);
    if (!primary_) {
        text.clear();
        return false;
    }
    text = *primary_;
    return true;
}

void InProcessClipboard::setPrimaryText(std::optional<std::string> text) {
    std::lock_guard lock(mutex_);
    primary_ = std::move(text);
}

std::optional<std::string> InProcessClipboard::primaryText() const {
    std::lock_guard lock(mutex_);
    return primary_;
}

void InProcessClipboard::setContent(std::vector<Format> formats, WindowHandle owner) {
    std::lock_guard lock(mutex_);
    formats_ = std::move(formats);
    owner_ = owner;
    ++sequence_;
}

std::vector<InProcessClipboard::Format> InProcessClipboard::content() const {
    std::lock_guard lock(mutex_);
    return formats_;
}

WindowHandle InProcessClipboard::owner() const {
    std::lock_guard lock(mutex_);
    return owner_;
}

bool InProcessClipboard::isOpen() const {
    std::lock_guard lock(mutex_);
    return openedBy_.has_value();
}

unsigned InProcessClipboard::sequenceNumber() const {
    std::lock_guard lock(mutex_);
    return sequence_;
}

}  // namespace os::posix
