#include "config/coolkeys/CoolKeyList.h"

#include "platform/assertion/Assertion.h"

#include <atomic>
#include <utility>

namespace products::pastrix::config::coolkeys {

namespace {

std::atomic<std::uint64_t> lastRevision{0};

std::uint64_t newRevision() {
    return lastRevision.fetch_add(1, std::memory_order_relaxed) + 1;
}

}  // namespace

CoolKeyList::CoolKeyList() : revision(newRevision()) {}

CoolKeyList::~CoolKeyList() = default;

CoolKeyList::CoolKeyList(CoolKeyList&& other) noexcept
    : entries(std::move(other.entries)), revision(newRevision()) {
    other.entries.clear();
    other.changed();
}

CoolKeyList& CoolKeyList::operator=(CoolKeyList&& other) noexcept {
    if (this != &other) {
        entries = std::move(other.entries);
        other.entries.clear();
        other.changed();
        changed();
    }
    return *this;
}

void CoolKeyList::changed() {
    revision = newRevision();
}

void CoolKeyList::push_back(Entry entry) {
    entries.push_back(std::move(entry));
    changed();
}

CoolKeyList::const_iterator CoolKeyList::erase(const_iterator position) {
    const auto next = entries.erase(position);
    changed();
    return next;
}

void CoolKeyList::clear() {
    entries.clear();
    changed();
}

void CoolKeyList::swap(std::size_t first, std::size_t second) {
    PX_ASSERT(first < entries.size() && second < entries.size());
    if (first >= entries.size() || second >= entries.size()) {
        return;
    }
    std::swap(entries[first], entries[second]);
    changed();
}

}  // namespace products::pastrix::config::coolkeys
