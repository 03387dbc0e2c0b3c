#pragma once

#include "config/coolkeys/CoolKeyList.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace products::pastrix::config::coolkeys {

// The abbreviations of a list of Cool Keys, arranged to answer one question fast: which
// entry, first in list order, has an abbreviation that ends a given text. It is a tree of
// the abbreviations read backwards, so the answer costs one step per character of the
// longest abbreviation that could match, whatever the number of entries.
//
// The tree is built in one pass over the abbreviations sorted backwards, then numbered level
// by level, so that each node's children are neighbours ordered by character and a step is a
// search in a few bytes followed by one more node.
class AbbreviationIndex {
public:
    static constexpr std::size_t None = std::numeric_limits<std::size_t>::max();

    // Indexes the entries' abbreviations by their position in the list. Empty abbreviations
    // are left out: they would match every text.
    void build(const CoolKeyList& entries);
    // Whether the index was built from this list as it is now, with every abbreviation as it
    // is now. Costs the same for any length of list.
    bool isBuiltFrom(const CoolKeyList& entries) const;
    // The position of the first entry whose abbreviation ends the text, None when none does.
    std::size_t firstEndingAt(const std::string& text) const;
    // The position of the first entry whose abbreviation occurs anywhere in the text.
    std::size_t firstOccurringIn(const std::string& text) const;

private:
    using NodeIndex = std::uint32_t;
    using Position = std::uint32_t;
    static constexpr NodeIndex NoNode = std::numeric_limits<NodeIndex>::max();
    static constexpr Position NoPosition = std::numeric_limits<Position>::max();

    // The first entry whose abbreviation ends text[0, end).
    Position firstEndingBefore(const std::string& text, std::size_t end) const;
    NodeIndex child(NodeIndex parent, unsigned char character) const;

    struct Node {
        // The node's children are the nodes firstChild up to the next node's firstChild.
        NodeIndex firstChild;
        // The first entry whose abbreviation is the path from the root to the node.
        Position firstEntry;
    };

    // The children of the root, by character.
    std::array<NodeIndex, 256> lastCharacters{};
    // Numbered level by level, the root first, and one node more whose firstChild ends the
    // children of the last.
    std::vector<Node> nodes;
    // The character on the way into each node.
    std::vector<unsigned char> characterOf;

    std::uint64_t listRevision = 0;
    std::uint64_t abbreviationRevision = 0;
    bool built = false;
};

}  // namespace products::pastrix::config::coolkeys
