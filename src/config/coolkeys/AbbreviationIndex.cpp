#include "config/coolkeys/AbbreviationIndex.h"

#include <algorithm>
#include <cstring>

namespace products::pastrix::config::coolkeys {

namespace {

// One abbreviation, with its first eight bytes (zero-padded) as a number, so that most
// comparisons while sorting are one comparison of numbers.
struct Key {
    std::uint64_t head;
    std::uint32_t begin;
    std::uint32_t length;
    std::uint32_t position;
};

}  // namespace

void AbbreviationIndex::build(const CoolKeyList& entries) {
    built = false;
    listRevision = entries.getRevision();
    abbreviationRevision = CKEntry::getAbbreviationRevision();

    // The abbreviations side by side.
    std::vector<unsigned char> bytes;
    std::vector<Key> keys;
    keys.reserve(entries.size());
    std::size_t total = 0;
    for (const auto& entry : entries) {
        total += entry ? entry->getAbbreviation().size() : 0;
    }
    bytes.resize(total);
    std::size_t offset = 0;
    for (std::size_t position = 0; position < entries.size(); ++position) {
        const CKEntry* entry = entries[position].get();
        if (entry == nullptr || entry->getAbbreviation().empty()) {
            continue;
        }
        const std::string& abbreviation = entry->getAbbreviation();
        std::copy(abbreviation.begin(), abbreviation.end(), bytes.begin() + offset);
        std::uint64_t head = 0;
        for (std::size_t i = 0; i < 8; ++i) {
            head = head << 8 | (i < abbreviation.size() ? bytes[offset + i] : 0U);
        }
        keys.push_back(Key{head, static_cast<std::uint32_t>(offset),
                           static_cast<std::uint32_t>(abbreviation.size()),
                           static_cast<std::uint32_t>(position)});
        offset += abbreviation.size();
    }

    const unsigned char* const data = bytes.data();
    std::sort(keys.begin(), keys.end(), [data](const Key& a, const Key& b) {
        if (a.head != b.head) {
            return a.head < b.head;
        }
        const std::uint32_t common = std::min(a.length, b.length);
        const int order =
            common > 8 ? std::memcmp(data + a.begin + 8, data + b.begin + 8, common - 8) : 0;
        if (order != 0) {
            return order < 0;
        }
        if (a.length != b.length) {
            return a.length < b.length;
        }
        return a.position < b.position;
    });

    // One pass over the sorted keys makes the tree: each key shares its first characters with
    // the one before it and adds a node for each character after those. Nodes are numbered
    // as they are made; the root is node 0.
    std::vector<NodeIndex> parents{NoNode};
    std::vector<unsigned char> characters{0};
    std::vector<Position> firstEntry{NoPosition};
    parents.reserve(total + 1);
    characters.reserve(total + 1);
    firstEntry.reserve(total + 1);
    std::vector<NodeIndex> path{0};  // path[d]: the node at depth d of the key before
    const Key* previous = nullptr;
    for (const Key& key : keys) {
        std::size_t shared = 0;
        if (previous != nullptr) {
            const std::size_t common = std::min(previous->length, key.length);
            while (shared < common && data[previous->begin + shared] == data[key.begin + shared]) {
                ++shared;
            }
        }
        path.resize(shared + 1);
        for (std::size_t depth = shared; depth < key.length; ++depth) {
            const auto node = static_cast<NodeIndex>(parents.size());
            parents.push_back(path[depth]);
            characters.push_back(data[key.begin + depth]);
            firstEntry.push_back(NoPosition);
            path.push_back(node);
        }
        // Equal keys come in list order: the first keeps the node.
        Position& first = firstEntry[path[key.length]];
        first = std::min(first, static_cast<Position>(key.position));
        previous = &key;
    }

    // The children of each node side by side: counted, then placed in the order they were
    // made, which is the order of their characters.
    const std::size_t nodeCount = parents.size();
    std::vector<NodeIndex> childBegin(nodeCount + 1, 0);
    for (std::size_t node = 1; node < nodeCount; ++node) {
        ++childBegin[parents[node] + 1];
    }
    for (std::size_t node = 0; node < nodeCount; ++node) {
        childBegin[node + 1] += childBegin[node];
    }
    std::vector<NodeIndex> children(nodeCount - 1);
    {
        std::vector<NodeIndex> next(childBegin.begin(), childBegin.end() - 1);
        for (std::size_t node = 1; node < nodeCount; ++node) {
            children[next[parents[node]]++] = static_cast<NodeIndex>(node);
        }
    }

    // Numbered again level by level: a node's children get consecutive numbers, so the
    // children of node n start where those of node n - 1 end.
    std::vector<NodeIndex> order;
    order.reserve(nodeCount);
    order.push_back(0);
    nodes.assign(nodeCount + 1, Node{0, 0, NoPosition});
    characterOf.assign(nodeCount, 0);
    for (std::size_t number = 0; number < order.size(); ++number) {
        const NodeIndex old = order[number];
        nodes[number] = Node{static_cast<NodeIndex>(order.size()), 0, firstEntry[old]};
        characterOf[number] = characters[old];
        for (NodeIndex place = childBegin[old]; place < childBegin[old + 1]; ++place) {
            order.push_back(children[place]);
        }
    }
    nodes[nodeCount].firstChild = static_cast<NodeIndex>(nodeCount);

    firstCharacters.fill(Start);
    for (NodeIndex node = nodes[0].firstChild; node < nodes[1].firstChild; ++node) {
        firstCharacters[characterOf[node]] = node;
    }
    // The suffix links level by level: a node's is one step on from its parent's, and every
    // node on the way is shallower, so it is linked already. The first entry of a node then
    // also counts the abbreviations that end its path.
    for (NodeIndex parent = 1; parent < nodeCount; ++parent) {
        for (NodeIndex node = nodes[parent].firstChild; node < nodes[parent + 1].firstChild;
             ++node) {
            const NodeIndex suffix = next(nodes[parent].suffix, characterOf[node]);
            nodes[node].suffix = suffix;
            nodes[node].firstEntry = std::min(nodes[node].firstEntry, nodes[suffix].firstEntry);
        }
    }
    built = true;
}

bool AbbreviationIndex::isBuiltFrom(const CoolKeyList& entries) const {
    return built && listRevision == entries.getRevision() &&
           abbreviationRevision == CKEntry::getAbbreviationRevision();
}

AbbreviationIndex::NodeIndex AbbreviationIndex::child(NodeIndex parent,
                                                      unsigned char character) const {
    const unsigned char* begin = characterOf.data() + nodes[parent].firstChild;
    const unsigned char* end = characterOf.data() + nodes[parent + 1].firstChild;
    // Most nodes have a few children; a scan of their bytes beats a binary search.
    const void* found = std::memchr(begin, character, static_cast<std::size_t>(end - begin));
    return found != nullptr ? static_cast<NodeIndex>(static_cast<const unsigned char*>(found) -
                                                     characterOf.data())
                            : NoNode;
}

AbbreviationIndex::State AbbreviationIndex::next(State state, unsigned char character) const {
    for (NodeIndex node = state; node != Start; node = nodes[node].suffix) {
        const NodeIndex found = child(node, character);
        if (found != NoNode) {
            return found;
        }
    }
    return firstCharacters[character];
}

std::size_t AbbreviationIndex::firstEndingIn(State state) const {
    const Position first = built ? nodes[state].firstEntry : NoPosition;
    return first == NoPosition ? None : first;
}

std::size_t AbbreviationIndex::firstOccurringIn(const std::string& text, State& state) const {
    state = Start;
    if (!built) {
        return None;
    }
    // An abbreviation occurs somewhere exactly when it ends somewhere.
    Position first = NoPosition;
    for (const char character : text) {
        state = next(state, static_cast<unsigned char>(character));
        first = std::min(first, nodes[state].firstEntry);
    }
    return first == NoPosition ? None : first;
}

AbbreviationIndex::State AbbreviationIndex::stateAfter(const std::string& text) const {
    State state = Start;
    for (const char character : text) {
        state = next(state, static_cast<unsigned char>(character));
    }
    return state;
}

}  // namespace products::pastrix::config::coolkeys
