#include "os/sim/SimClipboard.h"

namespace os::sim {

SimClipboard::SimClipboard(Errors& errors, GlobalMemory& memory)
    : InProcessClipboard(errors, memory) {}

bool SimClipboard::failing(Operation operation) const {
    std::lock_guard lock(mutex_);
    const auto found = failures_.find(operation);
    if (found == failures_.end()) {
        return false;
    }
    errors().setLastError(found->second);
    return true;
}

bool SimClipboard::open(WindowHandle owner) {
    return !failing(Operation::Open) && InProcessClipboard::open(owner);
}

bool SimClipboard::close() {
    return !failing(Operation::Close) && InProcessClipboard::close();
}

bool SimClipboard::empty() {
    return !failing(Operation::Empty) && InProcessClipboard::empty();
}

unsigned SimClipboard::enumFormats(unsigned format) {
    return failing(Operation::Enumerate) ? 0 : InProcessClipboard::enumFormats(format);
}

ClipboardData SimClipboard::getData(unsigned format, MemoryHandle& block) {
    if (failing(Operation::DataObject)) {
        return ClipboardData::NoDataObject;
    }
    if (failing(Operation::GetData)) {
        return ClipboardData::NotDelivered;
    }
    {
        std::lock_guard lock(mutex_);
        const auto found = formatFailures_.find(format);
        if (found != formatFailures_.end()) {
            errors().setLastError(found->second);
            return ClipboardData::NotDelivered;
        }
    }
    return InProcessClipboard::getData(format, block);
}

MemoryHandle SimClipboard::setData(unsigned format, MemoryHandle block) {
    return failing(Operation::SetData) ? 0 : InProcessClipboard::setData(format, block);
}

bool SimClipboard::changeClipboardChain(WindowHandle remove, WindowHandle next) {
    std::lock_guard lock(mutex_);
    chainChanges_.emplace_back(remove, next);
    return true;
}

void SimClipboard::fail(Operation operation, int errorCode) {
    std::lock_guard lock(mutex_);
    failures_[operation] = errorCode;
}

void SimClipboard::failFormat(unsigned format, int errorCode) {
    std::lock_guard lock(mutex_);
    formatFailures_[format] = errorCode;
}

void SimClipboard::clearFailures() {
    std::lock_guard lock(mutex_);
    failures_.clear();
    formatFailures_.clear();
}

std::vector<std::pair<WindowHandle, WindowHandle>> SimClipboard::chainChanges() const {
    std::lock_guard lock(mutex_);
    return chainChanges_;
}

}  // namespace os::sim
