#include "os/x11/X11Clipboard.h"

#include "os/ErrorCodes.h"
#include "os/common/ClipboardMarks.h"
#include "os/common/MemoryBlockCopy.h"
#include "os/x11/SelectionReader.h"
#include "os/x11/SelectionServer.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <iostream>
#include <utility>

// Xlib's macro of this name would hide the program's error code.
#undef Success

namespace os::x11 {

namespace {

constexpr const char* Utf8Target = "UTF8_STRING";
constexpr const char* Utf8PlainTarget = "text/plain;charset=utf-8";
constexpr const char* Latin1Target = "STRING";

bool equalsIgnoringCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
               return std::tolower(x) == std::tolower(y);
           });
}

// Targets that say something about the selection rather than hold data, and targets that only
// make sense inside the owning process (GTK's text buffer hands over a pointer).
bool isMetaOrPrivateTarget(const std::string& name) {
    static const char* const skipped[] = {"TARGETS",
                                          "TIMESTAMP",
                                          "MULTIPLE",
                                          "SAVE_TARGETS",
                                          "DELETE",
                                          "LENGTH",
                                          "GTK_TEXT_BUFFER_CONTENTS"};
    return std::any_of(std::begin(skipped), std::end(skipped),
                       [&](const char* skip) { return name == skip; }) ||
           name.rfind("INSERT_", 0) == 0;
}

// The names under which owners offer the same plain text; one of them is read as "CF_TEXT".
bool isTextAlias(const std::string& name) {
    static const char* const aliases[] = {Utf8Target, Utf8PlainTarget, Latin1Target,
                                          "TEXT",     "COMPOUND_TEXT", "text/plain"};
    return std::any_of(std::begin(aliases), std::end(aliases),
                       [&](const char* alias) { return equalsIgnoringCase(name, alias); });
}

std::string latin1ToUtf8(const std::string& text) {
    std::string result;
    result.reserve(text.size());
    for (const unsigned char c : text) {
        if (c < 0x80) {
            result += static_cast<char>(c);
        } else {
            result += static_cast<char>(0xC0 | (c >> 6));
            result += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return result;
}

}  // namespace

X11Clipboard::X11Clipboard(Errors& errors, GlobalMemory& memory, const std::string& formatTablePath)
    : errors_(errors),
      memory_(memory),
      table_(formatTablePath),
      reader_(std::make_unique<SelectionReader>()),
      server_(std::make_unique<SelectionServer>(
          [this](unsigned format) { return targetNames(format); })) {
    reportTableProblems();
}

X11Clipboard::~X11Clipboard() {
    // What the program restored is the user's clipboard; a clipboard manager can keep it.
    server_->handOver(HandOverWait);
}

bool X11Clipboard::connected() const {
    return reader_->connected() && server_->connected();
}

void X11Clipboard::reportTableProblems() const {
    // The clipboard has no window of its own to tell the user in; a damaged or unwritable
    // table is said on the program's error output.
    const std::string problem = table_.takeProblem();
    if (!problem.empty()) {
        std::cerr << "Pastrix: " << problem << std::endl;
    }
}

std::vector<std::string> X11Clipboard::targetNames(unsigned format) const {
    if (format == cf::Text) {
        return {Utf8Target, Utf8PlainTarget, Latin1Target, "TEXT"};
    }
    std::optional<std::string> name = table_.name(format);
    if (!name) {
        // A standard format with no X counterpart stays in the program's own snapshot only.
        return {};
    }
    return {*name};
}

bool X11Clipboard::fetchedSinceLastChange() const {
    return server_->activity().requested;
}

bool X11Clipboard::fail(int code) const {
    errors_.setLastError(code);
    return false;
}

bool X11Clipboard::isOpenedByCaller() const {
    return openedBy_ && *openedBy_ == std::this_thread::get_id();
}

bool X11Clipboard::ownsSelection() const {
    return reader_->owner() == server_->window();
}

bool X11Clipboard::open(WindowHandle /*owner*/) {
    if (!connected()) {
        return fail(error::NotSupported);
    }
    std::lock_guard lock(mutex_);
    if (openedBy_ && !isOpenedByCaller()) {
        return fail(error::AccessDenied);
    }
    openedBy_ = std::this_thread::get_id();
    return true;
}

bool X11Clipboard::close() {
    std::optional<SelectionContent> changed;
    bool transient = false;
    {
        std::lock_guard lock(mutex_);
        if (!isOpenedByCaller()) {
            return fail(error::ClipboardNotOpen);
        }
        changed = std::move(pending_);
        pending_.reset();
        transient = std::exchange(pendingTransient_, false);
        enumerated_.clear();
    }
    int result = error::Success;
    if (changed) {
        awaitPasteConsumed();
        const bool emptied = changed->empty();
        result = server_->publish(std::make_shared<const SelectionContent>(std::move(*changed)),
                                  transient);
        std::lock_guard lock(mutex_);
        if (result == error::Success && emptied) {
            emptiedAt_ = Clock::now();
        } else {
            emptiedAt_.reset();
        }
        if (result == error::Success && !emptied) {
            offeredAt_ = Clock::now();
        } else {
            offeredAt_.reset();
        }
    }
    {
        std::lock_guard lock(mutex_);
        openedBy_.reset();
    }
    return result == error::Success || fail(result);
}

bool X11Clipboard::empty() {
    std::lock_guard lock(mutex_);
    if (!isOpenedByCaller()) {
        return fail(error::ClipboardNotOpen);
    }
    pending_ = SelectionContent{};
    pendingTransient_ = false;
    return true;
}

bool X11Clipboard::markTransient() {
    std::lock_guard lock(mutex_);
    if (!isOpenedByCaller()) {
        return fail(error::ClipboardNotOpen);
    }
    if (!pending_) {
        // Only what this opening puts on the clipboard can be marked, not another's content.
        return fail(error::InvalidParameter);
    }
    pendingTransient_ = true;
    return true;
}

bool X11Clipboard::isMark(unsigned format) const {
    const std::optional<std::string> name = table_.name(format);
    return name && *name == common::ClipboardMarks::X11Hint;
}

bool X11Clipboard::marksSecret(unsigned format, const std::string& bytes) const {
    const std::optional<std::string> name = table_.name(format);
    return name && *name == common::ClipboardMarks::X11Hint &&
           common::ClipboardMarks::marksSecret(*name, bytes);
}

void X11Clipboard::awaitCopy() const {
    std::optional<Clock::time_point> emptiedAt;
    {
        std::lock_guard lock(mutex_);
        emptiedAt = std::exchange(emptiedAt_, std::nullopt);
    }
    if (emptiedAt) {
        server_->waitUntil([](const SelectionServer::Activity& now) { return !now.owned; },
                           *emptiedAt + CopyWait);
    }
}

void X11Clipboard::awaitPasteConsumed() const {
    // Only a client that fetched what is on offer now may still be pasting it; an editor may
    // also have taken the selection over right after fetching and paste from its own copy.
    std::optional<Clock::time_point> offeredAt;
    {
        std::lock_guard lock(mutex_);
        offeredAt = offeredAt_;
    }
    if (!server_->activity().requested && offeredAt) {
        // The application may not have seen the paste keystroke yet.
        server_->waitUntil(
            [](const SelectionServer::Activity& now) { return now.requested || !now.owned; },
            *offeredAt + PasteFirstRequest);
    }
    if (!server_->activity().requested) {
        return;
    }
    const auto cap = Clock::now() + PasteCap;
    // The client is done asking when it took the selection or stayed quiet for a while; it
    // may still be inserting what it fetched, so give it a little longer.
    const auto consumed = [](const SelectionServer::Activity& now) {
        return !now.owned || Clock::now() >= now.lastRequest + PasteQuiet;
    };
    for (;;) {
        const SelectionServer::Activity now = server_->activity();
        if (consumed(now) || Clock::now() >= cap) {
            break;
        }
        server_->waitUntil(
            [&](const SelectionServer::Activity& a) {
                return !a.owned || a.lastRequest != now.lastRequest;
            },
            std::min(cap, now.lastRequest + PasteQuiet));
    }
    const SelectionServer::Activity last = server_->activity();
    const auto quietAt = last.lastRequest + PasteQuiet;
    const auto doneAt = last.lostAt ? std::min(*last.lostAt, quietAt) : quietAt;
    // Nothing to wait for but time: the condition never holds.
    server_->waitUntil([](const SelectionServer::Activity&) { return false; },
                       std::min(cap, doneAt + PasteSettle));
}

std::vector<X11Clipboard::Listed> X11Clipboard::currentFormats() const {
    awaitCopy();
    std::vector<Listed> listed;
    if (ownsSelection()) {
        // Reading our own selection through the server would wait on ourselves.
        const auto content = server_->content();
        if (content) {
            for (const SelectionFormat& format : *content) {
                listed.push_back({format.format, {}});
            }
        }
        return listed;
    }
    int error = error::Success;
    const std::optional<std::vector<std::string>> names = reader_->targets(error);
    if (!names) {
        // An owner that refuses TARGETS may still hand out text, as clients older than the
        // conventions do; one that does not answer at all, or no owner, gives nothing.
        if (error == error::InvalidData && reader_->owner() != None) {
            for (const char* target : {Utf8Target, Latin1Target}) {
                int readError = error::Success;
                if (reader_->read(target, readError)) {
                    listed.push_back({cf::Text, target});
                    break;
                }
            }
        }
        return listed;
    }
    std::string textTarget;
    for (const char* preferred : {Utf8Target, Utf8PlainTarget, Latin1Target}) {
        const auto found = std::find_if(names->begin(), names->end(), [&](const std::string& n) {
            return equalsIgnoringCase(n, preferred);
        });
        if (found != names->end()) {
            textTarget = *found;
            break;
        }
    }
    bool textListed = false;
    for (const std::string& name : *names) {
        if (isMetaOrPrivateTarget(name)) {
            continue;
        }
        if (!textTarget.empty() && isTextAlias(name)) {
            if (!textListed) {
                listed.push_back({cf::Text, textTarget});
                textListed = true;
            }
            continue;
        }
        int registerError = error::Success;
        const unsigned format = table_.registerName(name, registerError);
        if (format != 0) {
            listed.push_back({format, name});
        }
    }
    reportTableProblems();
    return listed;
}

unsigned X11Clipboard::enumFormats(unsigned format) {
    bool readOwner = false;
    {
        std::lock_guard lock(mutex_);
        if (!isOpenedByCaller()) {
            fail(error::ClipboardNotOpen);
            return 0;
        }
        if (pending_) {
            // The opener sees what it set before the other clients do.
            enumerated_.clear();
            for (const SelectionFormat& f : *pending_) {
                enumerated_.push_back(f.format);
            }
        } else {
            readOwner = format == 0;
        }
    }
    if (readOwner) {
        const std::vector<Listed> listed = currentFormats();
        std::lock_guard lock(mutex_);
        enumerated_.clear();
        for (const Listed& item : listed) {
            enumerated_.push_back(item.format);
        }
    }
    std::lock_guard lock(mutex_);
    std::size_t next = 0;
    if (format != 0) {
        const auto current = std::find(enumerated_.begin(), enumerated_.end(), format);
        next = current == enumerated_.end()
                   ? enumerated_.size()
                   : static_cast<std::size_t>(current - enumerated_.begin()) + 1;
    }
    errors_.setLastError(error::Success);
    return next < enumerated_.size() ? enumerated_[next] : 0;
}

ClipboardData X11Clipboard::getData(unsigned format, MemoryHandle& block) {
    if (!connected()) {
        fail(error::NotSupported);
        return ClipboardData::NoDataObject;
    }
    awaitCopy();
    std::string bytes;
    if (ownsSelection()) {
        const auto content = server_->content();
        const auto found =
            content ? std::find_if(content->begin(), content->end(),
                                   [&](const SelectionFormat& f) { return f.format == format; })
                    : SelectionContent::const_iterator{};
        if (!content || found == content->end()) {
            fail(error::InvalidParameter);
            return ClipboardData::NotDelivered;
        }
        bytes = *found->bytes;
    } else {
        int error = error::Success;
        std::optional<std::string> read;
        if (format == cf::Text) {
            // The owner's best text target, as the listing would choose it.
            for (const char* target : {Utf8Target, Utf8PlainTarget, Latin1Target}) {
                read = reader_->read(target, error);
                if (read) {
                    if (std::strcmp(target, Latin1Target) == 0) {
                        *read = latin1ToUtf8(*read);
                    }
                    break;
                }
            }
        } else if (const std::optional<std::string> target = table_.name(format)) {
            read = reader_->read(*target, error);
        } else {
            error = error::InvalidParameter;
        }
        if (!read) {
            fail(error);
            return ClipboardData::NotDelivered;
        }
        bytes = std::move(*read);
    }
    if (bytes.empty()) {
        // An empty block cannot be kept in a slot; the format counts as not delivered.
        fail(error::InvalidData);
        return ClipboardData::NotDelivered;
    }
    const MemoryHandle copy = common::MemoryBlockCopy(memory_).copyIn(bytes);
    if (copy == 0) {
        return ClipboardData::NotDelivered;
    }
    block = copy;
    return ClipboardData::Delivered;
}

MemoryHandle X11Clipboard::setData(unsigned format, MemoryHandle block) {
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
    std::optional<std::string> taken = common::MemoryBlockCopy(memory_).takeOut(block);
    if (!taken) {
        return 0;
    }
    auto bytes = std::make_shared<const std::string>(std::move(*taken));

    const bool startFromOwned = [&] {
        std::lock_guard lock(mutex_);
        return !pending_;
    }();
    std::shared_ptr<const SelectionContent> owned;
    if (startFromOwned && ownsSelection()) {
        // Without an empty first, the formats are added to what the program offers now.
        owned = server_->content();
    }
    std::lock_guard lock(mutex_);
    if (!pending_) {
        pending_ = owned ? *owned : SelectionContent{};
    }
    const auto found = std::find_if(pending_->begin(), pending_->end(),
                                    [&](const SelectionFormat& f) { return f.format == format; });
    if (found == pending_->end()) {
        pending_->push_back({format, std::move(bytes)});
    } else {
        found->bytes = std::move(bytes);
    }
    errors_.setLastError(error::Success);
    return block;
}

bool X11Clipboard::isFormatAvailable(unsigned format) const {
    if (!connected()) {
        return false;
    }
    const std::vector<Listed> listed = currentFormats();
    return std::any_of(listed.begin(), listed.end(),
                       [&](const Listed& item) { return item.format == format; });
}

unsigned X11Clipboard::registerFormat(const std::string& name) {
    int error = error::Success;
    const unsigned format = table_.registerName(name, error);
    reportTableProblems();
    if (format == 0) {
        fail(error);
    }
    return format;
}

int X11Clipboard::getFormatName(unsigned format, std::string& name, int bufferSize) const {
    const std::optional<std::string> found = table_.name(format);
    if (!found || bufferSize <= 0) {
        fail(error::InvalidParameter);
        name.clear();
        return 0;
    }
    name = found->substr(0, static_cast<std::size_t>(bufferSize - 1));
    return static_cast<int>(name.size());
}

bool X11Clipboard::offerClipboardAsPrimary() {
    if (!connected()) {
        return fail(error::NotSupported);
    }
    auto content = server_->content();
    bool transient = server_->transient();
    if (!ownsSelection() || !content) {
        content = std::make_shared<const SelectionContent>();
        transient = false;
    }
    std::lock_guard lock(primaryMutex_);
    if (!primaryServer_) {
        primaryServer_ = std::make_unique<SelectionServer>(
            [this](unsigned format) { return targetNames(format); }, "PRIMARY");
    }
    const int result = primaryServer_->publish(std::move(content), transient);
    if (result != error::Success) {
        return fail(result);
    }
    errors_.setLastError(error::Success);
    return true;
}

bool X11Clipboard::getPrimaryText(std::string& text) {
    text.clear();
    if (!connected()) {
        return fail(error::NotSupported);
    }
    std::lock_guard lock(primaryMutex_);
    if (!primaryReader_) {
        primaryReader_ = std::make_unique<SelectionReader>("PRIMARY");
    }
    const Window owner = primaryReader_->owner();
    if (owner == None) {
        return fail(error::Success);
    }
    if (primaryServer_ && owner == primaryServer_->window()) {
        // Reading our own selection through the server would wait on ourselves.
        const auto content = primaryServer_->content();
        if (content) {
            for (const SelectionFormat& format : *content) {
                if (format.format == cf::Text) {
                    text = format.bytes->substr(0, format.bytes->find('\0'));
                    return true;
                }
            }
        }
        return fail(error::Success);
    }
    int error = error::Success;
    for (const char* target : {Utf8Target, Utf8PlainTarget, Latin1Target}) {
        std::optional<std::string> read = primaryReader_->read(target, error);
        if (read) {
            text = std::strcmp(target, Latin1Target) == 0 ? latin1ToUtf8(*read) : std::move(*read);
            errors_.setLastError(error::Success);
            return true;
        }
    }
    return fail(error);
}

bool X11Clipboard::changeClipboardChain(WindowHandle /*remove*/, WindowHandle /*next*/) {
    // Changes are seen through the selection's owner events; there is no viewer chain.
    return true;
}

}  // namespace os::x11
