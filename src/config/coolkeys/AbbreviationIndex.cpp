#include "config/coolkeys/AbbreviationIndex.h"

#include <algorithm>

namespace products::pastrix::config::coolkeys {

namespace {

std::size_t slot(char character) {
    return static_cast<unsigned char>(character);
}

}  // namespace

void AbbreviationIndex::build(const Entries& entries) {
    lastCharacters.fill(NoNode);
    nodes.clear();
    indexedEntries.clear();
    indexedEntries.reserve(entries.size());
    revision = CKEntry::getAbbreviationRevision();
    for (std::size_t position = 0; position < entries.size(); ++position) {
        const CKEntry* entry = entries[position].get();
        indexedEntries.push_back(entry);
        if (entry == nullptr || entry->getAbbreviation().empty()) {
            continue;
        }
        const std::string& abbreviation = entry->getAbbreviation();
        auto character = abbreviation.rbegin();
        NodeIndex& last = lastCharacters[slot(*character)];
        if (last == NoNode) {
            last = static_cast<NodeIndex>(nodes.size());
            nodes.push_back(Node{*character, NoNode, NoNode, None});
        }
        NodeIndex node = last;
        for (++character; character != abbreviation.rend(); ++character) {
            const NodeIndex next = child(node, *character);
            node = next != NoNode ? next : addChild(node, *character);
        }
        // Entries come in list order, so the first one with this abbreviation keeps it.
        nodes[node].entry = std::min(nodes[node].entry, position);
    }
    built = true;
}

bool AbbreviationIndex::isBuiltFrom(const Entries& entries) const {
    if (!built || revision != CKEntry::getAbbreviationRevision() ||
        indexedEntries.size() != entries.size()) {
        return false;
    }
    // The same entries in the same order: an entry made, destroyed or renamed since moves
    // the revision, so equal addresses mean equal abbreviations. Every address is compared,
    // without stopping early, so that the loop runs at the speed of memory.
    std::uintptr_t differences = 0;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        differences |= reinterpret_cast<std::uintptr_t>(indexedEntries[i]) ^
                       reinterpret_cast<std::uintptr_t>(entries[i].get());
    }
    return differences == 0;
}

AbbreviationIndex::NodeIndex AbbreviationIndex::child(NodeIndex parent, char character) const {
    for (NodeIndex node = nodes[parent].firstChild; node != NoNode;
         node = nodes[node].nextSibling) {
        if (nodes[node].character == character) {
            return node;
        }
    }
    return NoNode;
}

AbbreviationIndex::NodeIndex AbbreviationIndex::addChild(NodeIndex parent, char character) {
    const auto node = static_cast<NodeIndex>(nodes.size());
    nodes.push_back(Node{character, NoNode, nodes[parent].firstChild, None});
    nodes[parent].firstChild = node;
    return node;
}

std::size_t AbbreviationIndex::firstEndingAt(const std::string& text) const {
    if (!built || text.empty()) {
        return None;
    }
    std::size_t first = None;
    auto character = text.rbegin();
    NodeIndex node = lastCharacters[slot(*character)];
    while (node != NoNode) {
        first = std::min(first, nodes[node].entry);
        if (++character == text.rend()) {
            break;
        }
        node = child(node, *character);
    }
    return first;
}

}  // namespace products::pastrix::config::coolkeys
