#include "config/coolkeys/AbbreviationIndex.h"

#include <algorithm>
#include <cstring>

namespace products::pastrix::config::coolkeys {

namespace {

// One abbreviation written backwards, with its first eight bytes (zero-padded) as a number,
// so that most comparisons while sorting are one comparison of numbers.
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

    // The abbreviations backwards, side by side.
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
        std::reverse_copy(abbreviation.begin(), abbreviation.end(), bytes.begin() + offset);
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
    nodes.assign(nodeCount + 1, Node{0, NoPosition});
    characterOf.assign(nodeCount, 0);
    for (std::size_t number = 0; number < order.size(); ++number) {
        const NodeIndex old = order[number];
        nodes[number] = Node{static_cast<NodeIndex>(order.size()), firstEntry[old]};
        characterOf[number] = characters[old];
        for (NodeIndex place = childBegin[old]; place < childBegin[old + 1]; ++place) {
            order.push_back(children[place]);
        }
    }
    nodes[nodeCount].firstChild = static_cast<NodeIndex>(nodeCount);

    lastCharacters.fill(NoNode);
    for (NodeIndex node = nodes[0].firstChild; node < nodes[1].firstChild; ++node) {
        lastCharacters[characterOf[node]] = node;
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
    const unsigned char* found = std::lower_bound(begin, end, character);
    return found != end && *found == character ? static_cast<NodeIndex>(found - characterOf.data())
                                               : NoNode;
}

AbbreviationIndex::Position AbbreviationIndex::firstEndingBefore(const std::string& text,
                                                                 std::size_t end) const {
    Position first = NoPosition;
    std::size_t at = end - 1;
    NodeIndex node = lastCharacters[static_cast<unsigned char>(text[at])];
    while (node != NoNode) {
        first = std::min(first, nodes[node].firstEntry);
        if (at == 0) {
            break;
        }
        --at;
        node = child(node, static_cast<unsigned char>(text[at]));
    }
    return first;
}

std::size_t AbbreviationIndex::firstEndingAt(const std::string& text) const {
    if (!built || text.empty()) {
        return None;
    }
    const Position first = firstEndingBefore(text, text.size());
    return first == NoPosition ? None : first;
}

std::size_t AbbreviationIndex::firstOccurringIn(const std::string& text) const {
    if (!built) {
        return None;
    }
    // An abbreviation occurs somewhere exactly when it ends somewhere.
    Position first = NoPosition;
    for (std::size_t end = text.size(); end > 0; --end) {
        first = std::min(first, firstEndingBefore(text, end));
    }
    return first == NoPosition ? None : first;
}

}  // namespace products::pastrix::config::coolkeys
