// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/idx_follower.h"

#include "data/idx_codec.h"

#include <string>
#include <unordered_map>
#include <vector>

namespace arrowsel::data::idx {

namespace {

// Reads node `id` again: an interior node must lead to the same children; a leaf must keep its
// siblings, and its keys are added to `leaves`. False when the node no longer fits in place.
bool rereadInPlace(const IdxTree& tree, std::int32_t id, std::uint64_t size, std::vector<PatchedLeaf>& leaves,
                   const BlockReader& read) {
    const MNode& n = tree.nd(id);
    unsigned char p[kNodeSize];
    read(p, kNodeSize, n.offset);
    const std::uint16_t attrs = getLE16(p);
    const std::uint16_t count = getLE16(p + 2);
    if (attrs > 3 || ((attrs & kAttrLeaf) != 0) != n.leaf || count == 0) {
        return false;
    }
    const int keyLength = tree.keyLength();
    if (!n.leaf) {
        if (count != n.kids.size()) {
            return false;
        }
        const bool compact = tree.kind() == IndexKind::Compact;
        const std::size_t entrySize = static_cast<std::size_t>(keyLength) + (compact ? 8 : 4);
        for (std::size_t i = 0; i < count; ++i) {
            const unsigned char* e = p + 12 + i * entrySize;
            if (getBE32(e + keyLength + (compact ? 4 : 0)) != tree.nd(n.kids[i]).offset) {
                return false;
            }
        }
        return true;
    }
    if (getLE32(p + 4) != (n.left >= 0 ? tree.nd(n.left).offset : kNone) ||
        getLE32(p + 8) != (n.right >= 0 ? tree.nd(n.right).offset : kNone)) {
        return false;
    }
    TreeRead one;
    one.head.kind = tree.kind();
    one.head.keyLength = keyLength;
    TreeWalker w(read, tree.name(), size, headerSize(tree.kind()), one, tree.pad(), nullptr);
    w.leaf(p, n.offset, count);
    leaves.push_back(PatchedLeaf{id, tree.positionOf(id), std::move(one.entries)});
    return true;
}

void collectHeld(const IdxTree& tree, std::int32_t id, std::size_t& at, Reuse& reuse) {
    const MNode& n = tree.nd(id);
    reuse.byOffset.emplace(n.offset, id);
    if (n.leaf) {
        reuse.start[static_cast<std::size_t>(id)] = at;
        at += n.size;
        return;
    }
    for (std::int32_t k : n.kids) {
        collectHeld(tree, k, at, reuse);
    }
}

} // namespace

bool listedChanges(const unsigned char* h, const Stamp& now, const Stamp& held, IndexKind kind, int keyLength,
                   std::unordered_set<std::uint32_t>& changed) {
    const IndexKind onDisk = (h[14] & kOptCompact) ? IndexKind::Compact : IndexKind::NonCompact;
    if (onDisk != kind || getLE16(h + 12) != keyLength) {
        return false;
    }
    ChangeList list;
    if (!decodeChangeList(h, onDisk, now.counter, list) || list.since > held.counter || now.counter < held.counter ||
        !sameTime(now.mtime, list.time)) {
        return false;
    }
    for (const LogPair& p : list.blocks) {
        if (p.counter > held.counter) {
            changed.insert(p.offset);
        }
    }
    return true;
}

bool patchInPlace(IdxTree& tree, const std::unordered_set<std::uint32_t>& changed, std::uint64_t size,
                  std::uint32_t recordCount, const BlockReader& read) {
    std::unordered_map<std::uint32_t, std::int32_t> byOffset;
    const std::vector<MNode>& nodes = tree.nodes();
    for (std::size_t id = 0; id < nodes.size(); ++id) {
        if (nodes[id].alive) {
            byOffset.emplace(nodes[id].offset, static_cast<std::int32_t>(id));
        }
    }
    std::vector<PatchedLeaf> leaves;
    std::size_t total = tree.entries().size();
    for (const std::uint32_t off : changed) {
        const auto it = byOffset.find(off);
        if (it == byOffset.end() || static_cast<std::uint64_t>(off) + kNodeSize > size ||
            !rereadInPlace(tree, it->second, size, leaves, read)) {
            return false;
        }
        if (!leaves.empty() && leaves.back().id == it->second) {
            total = total - tree.nd(it->second).size + leaves.back().entries.size();
        }
    }
    if (total != recordCount) {
        return false;
    }
    std::uint32_t bad = 0;
    if (!tree.replaceLeaves(leaves, bad)) {
        damaged(tree.name(), "the keys are out of order in the node at offset " + std::to_string(bad));
    }
    return true;
}

Reuse heldFor(IdxTree& tree, std::unordered_set<std::uint32_t> changed, std::uint32_t recordCount) {
    Reuse reuse;
    reuse.nodes = &tree.nodes();
    reuse.entries = &tree.entries();
    reuse.expectKeys = recordCount;
    reuse.changed = std::move(changed);
    reuse.start.assign(tree.nodes().size(), 0);
    std::size_t at = 0;
    collectHeld(tree, tree.root(), at, reuse);
    return reuse;
}

} // namespace arrowsel::data::idx
