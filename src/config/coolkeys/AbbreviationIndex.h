#pragma once

#include "config/coolkeys/CKEntry.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <vector>

namespace products::pastrix::config::coolkeys {

// The abbreviations of a list of Cool Keys, arranged to answer one question fast: which
// entry, first in list order, has an abbreviation that ends a given text. It is a tree of
// the abbreviations read backwards, so the answer costs one step per character of the
// longest abbreviation that could match, whatever the number of entries.
class AbbreviationIndex {
public:
    using Entries = std::vector<std::unique_ptr<CKEntry>>;
    static constexpr std::size_t None = std::numeric_limits<std::size_t>::max();

    // Indexes the entries' abbreviations by their position in the list. Empty abbreviations
    // are left out: they would match every text.
    void build(const Entries& entries);
    // Whether the index was built from these very entries and no abbreviation of any entry
    // has changed since.
    bool isBuiltFrom(const Entries& entries) const;
    // The position of the first entry whose abbreviation ends the text, None when none does.
    std::size_t firstEndingAt(const std::string& text) const;

private:
    using NodeIndex = std::uint32_t;
    static constexpr NodeIndex NoNode = std::numeric_limits<NodeIndex>::max();

    struct Node {
        char character;
        NodeIndex firstChild;
        NodeIndex nextSibling;
        // The first entry whose abbreviation is the path from the root to here.
        std::size_t entry;
    };

    NodeIndex child(NodeIndex parent, char character) const;
    NodeIndex addChild(NodeIndex parent, char character);

    // The nodes of the abbreviations' last characters, by character.
    std::array<NodeIndex, 256> lastCharacters{};
    std::vector<Node> nodes;
    std::vector<const CKEntry*> indexedEntries;
    std::uint64_t revision = 0;
    bool built = false;
};

}  // namespace products::pastrix::config::coolkeys
