#pragma once

#include "config/coolkeys/CoolKeyList.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace products::pastrix::config::coolkeys {

// The abbreviations of a list of Cool Keys, arranged to answer one question fast while
// characters are typed one by one: which entry, first in list order, has an abbreviation that
// ends with the character just typed. It is an automaton over the abbreviations (a tree of
// them with, for each node, the longest proper suffix of its path that is also in the tree),
// so each character costs one step from the state of the character before, whatever the
// number of entries and however long they are.
//
// The tree is built in one pass over the abbreviations sorted, then numbered level by level,
// so that each node's children are neighbours ordered by character; the suffix links follow
// in the same order.
class AbbreviationIndex {
public:
    static constexpr std::size_t None = std::numeric_limits<std::size_t>::max();
    // Where the automaton stands: the longest end of the text read so far that begins an
    // abbreviation.
    using State = std::uint32_t;
    static constexpr State Start = 0;

    // Indexes the entries' abbreviations by their position in the list. Empty abbreviations
    // are left out: they would match every text.
    void build(const CoolKeyList& entries);
    // Whether the index was built from this list as it is now, with every abbreviation as it
    // is now. Costs the same for any length of list.
    bool isBuiltFrom(const CoolKeyList& entries) const;
    // The state after one more character.
    State next(State state, unsigned char character) const;
    // The position of the first entry whose abbreviation ends the text read into the state,
    // None when none does.
    std::size_t firstEndingIn(State state) const;
    // The position of the first entry whose abbreviation occurs anywhere in the text; the
    // state after the whole text is left in `state`.
    std::size_t firstOccurringIn(const std::string& text, State& state) const;
    // The state after the text read from the start.
    State stateAfter(const std::string& text) const;

private:
    using NodeIndex = std::uint32_t;
    using Position = std::uint32_t;
    static constexpr NodeIndex NoNode = std::numeric_limits<NodeIndex>::max();
    static constexpr Position NoPosition = std::numeric_limits<Position>::max();

    NodeIndex child(NodeIndex parent, unsigned char character) const;

    struct Node {
        // The node's children are the nodes firstChild up to the next node's firstChild.
        NodeIndex firstChild;
        // The node of the longest proper suffix of this node's path that is in the tree.
        NodeIndex suffix;
        // The first entry whose abbreviation is the path from the root to the node or one of
        // its suffixes.
        Position firstEntry;
    };

    // The root's children by character; Start where the root has none.
    std::array<NodeIndex, 256> firstCharacters{};
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
