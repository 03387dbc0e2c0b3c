#pragma once

#include "config/coolkeys/CKEntry.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace products::pastrix::config::coolkeys {

// The Cool Keys of a workspace in their order. Entries are added, removed and rearranged only
// through the list, so that the list can tell in one step whether it is still the one a
// matcher has indexed: every such change gives it a new revision, taken from a counter that
// all lists share, so no two lists, nor two states of one list, ever have the same revision.
// A change of an entry's abbreviation is told by CKEntry::getAbbreviationRevision instead.
class CoolKeyList {
public:
    using Entry = std::unique_ptr<CKEntry>;
    using const_iterator = std::vector<Entry>::const_iterator;

    CoolKeyList();
    ~CoolKeyList();
    CoolKeyList(CoolKeyList&& other) noexcept;
    CoolKeyList& operator=(CoolKeyList&& other) noexcept;
    CoolKeyList(const CoolKeyList&) = delete;
    CoolKeyList& operator=(const CoolKeyList&) = delete;

    const_iterator begin() const { return entries.begin(); }
    const_iterator end() const { return entries.end(); }
    std::size_t size() const { return entries.size(); }
    bool empty() const { return entries.empty(); }
    const Entry& operator[](std::size_t position) const { return entries[position]; }
    const Entry& front() const { return entries.front(); }
    const Entry& back() const { return entries.back(); }

    void push_back(Entry entry);
    const_iterator erase(const_iterator position);
    void clear();
    // Exchanges the places of two entries.
    void swap(std::size_t first, std::size_t second);

    std::uint64_t getRevision() const { return revision; }

private:
    void changed();

    std::vector<Entry> entries;
    std::uint64_t revision;
};

}  // namespace products::pastrix::config::coolkeys
