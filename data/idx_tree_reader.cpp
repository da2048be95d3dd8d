// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/idx_tree_reader.h"

#include <algorithm>

namespace arrowsel::data::idx {

namespace {

// Free blocks remembered from one read of a file; more are left unused until the next rebuild.
constexpr std::size_t kMaxFreeBlocks = 4096;

} // namespace

TreeWalker::TreeWalker(const BlockReader& reader, const std::string& name, std::uint64_t fileSize, std::size_t header,
                       TreeRead& into, char padByte, Reuse* held)
    : read_(reader), file(name), size(fileSize), headerSize(header), s(into), pad(padByte), reuse(held) {}

void TreeWalker::leaf(const unsigned char* p, std::uint32_t off, std::uint16_t count) {
    auto sink = [this, off](std::string key, std::uint32_t recno) { append(std::move(key), recno, off); };
    if (s.head.kind == IndexKind::Compact) {
        decodeCompactLeaf(p, off, count, s.head.keyLength, pad, file, sink);
    } else {
        decodeNonCompactLeaf(p, off, count, s.head.keyLength, file, sink);
    }
}

std::int32_t TreeWalker::node(std::uint32_t off, std::int32_t parent, int depth) {
    if (off % kNodeSize != 0 || off < headerSize || static_cast<std::uint64_t>(off) + kNodeSize > size) {
        damaged(file, "a node offset (" + std::to_string(off) + ") lies outside the file");
    }
    if (!visited.insert(off).second) {
        damaged(file, "the " + nodeAt(off) + " is reached twice");
    }
    if (depth > kMaxDepth) {
        damaged(file, "the tree is too deep");
    }
    if (reuse != nullptr && !reuse->changed.contains(off)) {
        if (const auto it = reuse->byOffset.find(off); it != reuse->byOffset.end()) {
            return held(it->second, off, parent, depth);
        }
    }
    unsigned char p[kNodeSize];
    read_(p, kNodeSize, off);
    const std::uint16_t attrs = getLE16(p);
    const std::uint16_t count = getLE16(p + 2);
    if (attrs > 3) {
        damaged(file, "the " + nodeAt(off) + " has unknown attributes " + std::to_string(attrs));
    }
    const auto id = static_cast<std::int32_t>(s.nodes.size());
    s.nodes.push_back(MNode{});
    s.nodes[static_cast<std::size_t>(id)].offset = off;
    s.nodes[static_cast<std::size_t>(id)].parent = parent;
    if (attrs & kAttrLeaf) {
        s.nodes[static_cast<std::size_t>(id)].leaf = true;
        if (count == 0 && parent >= 0) {
            damaged(file, "the " + nodeAt(off) + " is an empty leaf");
        }
        const std::size_t before = s.entries.size();
        leaf(p, off, count);
        addSegment(false, before, s.entries.size() - before);
        s.nodes[static_cast<std::size_t>(id)].size = static_cast<std::uint32_t>(s.entries.size() - before);
        leaves.push_back(id);
        leafLeft.push_back(getLE32(p + 4));
        leafRight.push_back(getLE32(p + 8));
        return id;
    }
    s.nodes[static_cast<std::size_t>(id)].leaf = false;
    const int kl = s.head.keyLength;
    const bool compact = s.head.kind == IndexKind::Compact;
    const int cap = compact ? compactInteriorCapacity(kl) : nonCompactCapacity(kl);
    if (count == 0 || count > cap) {
        damaged(file, "the " + nodeAt(off) + " holds " + std::to_string(count) + " keys");
    }
    noteInterior(id, depth);
    const std::size_t entrySize = static_cast<std::size_t>(kl) + (compact ? 8 : 4);
    std::uint32_t total = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const unsigned char* e = p + 12 + i * entrySize;
        const std::uint32_t child = getBE32(e + kl + (compact ? 4 : 0));
        const std::int32_t kid = node(child, id, depth + 1);
        s.nodes[static_cast<std::size_t>(id)].kids.push_back(kid);
        total += s.nodes[static_cast<std::size_t>(kid)].size;
    }
    s.nodes[static_cast<std::size_t>(id)].size = total;
    return id;
}

void TreeWalker::noteInterior(std::int32_t id, int depth) {
    if (interiorByDepth.size() <= static_cast<std::size_t>(depth)) {
        interiorByDepth.resize(static_cast<std::size_t>(depth) + 1);
    }
    interiorByDepth[static_cast<std::size_t>(depth)].push_back(id);
}

const IndexEntry* TreeWalker::lastEntry() const {
    if (lastHeld) {
        return &(*reuse->entries)[heldEnd - 1];
    }
    return s.entries.empty() ? nullptr : &s.entries.back();
}

void TreeWalker::addSegment(bool fromHeld, std::size_t from, std::size_t count) {
    if (reuse == nullptr || count == 0) {
        return;
    }
    if (!segments.empty() && segments.back().held == fromHeld && segments.back().from + segments.back().count == from) {
        segments.back().count += count;
    } else {
        segments.push_back(Segment{fromHeld, from, count});
    }
}

// A block unchanged since it was read: its place in the tree and its keys as held.
std::int32_t TreeWalker::held(std::int32_t oldId, std::uint32_t off, std::int32_t parent, int depth) {
    const MNode& o = (*reuse->nodes)[static_cast<std::size_t>(oldId)];
    const auto id = static_cast<std::int32_t>(s.nodes.size());
    s.nodes.push_back(MNode{});
    s.nodes[static_cast<std::size_t>(id)].offset = off;
    s.nodes[static_cast<std::size_t>(id)].parent = parent;
    if (o.leaf) {
        if (o.size == 0 && parent >= 0) {
            damaged(file, "the " + nodeAt(off) + " is an empty leaf");
        }
        const std::size_t start = reuse->start[static_cast<std::size_t>(oldId)];
        if (o.size > 0) {
            const IndexEntry& first = (*reuse->entries)[start];
            const IndexEntry* last = lastEntry();
            if (last != nullptr && compareEntry(*last, first.key, first.recno) >= 0) {
                damaged(file, "the keys are out of order in the " + nodeAt(off));
            }
            addSegment(true, start, o.size);
            lastHeld = true;
            heldEnd = start + o.size;
        }
        s.nodes[static_cast<std::size_t>(id)].size = o.size;
        leaves.push_back(id);
        const auto& old = *reuse->nodes;
        leafLeft.push_back(o.left >= 0 ? old[static_cast<std::size_t>(o.left)].offset : kNone);
        leafRight.push_back(o.right >= 0 ? old[static_cast<std::size_t>(o.right)].offset : kNone);
        return id;
    }
    s.nodes[static_cast<std::size_t>(id)].leaf = false;
    noteInterior(id, depth);
    std::uint32_t total = 0;
    for (const std::int32_t oldKid : o.kids) {
        const std::int32_t kid = node((*reuse->nodes)[static_cast<std::size_t>(oldKid)].offset, id, depth + 1);
        s.nodes[static_cast<std::size_t>(id)].kids.push_back(kid);
        total += s.nodes[static_cast<std::size_t>(kid)].size;
    }
    s.nodes[static_cast<std::size_t>(id)].size = total;
    return id;
}

// The keys of the new tree in order, moved out of what was held and what was read. Only
// here, once the whole tree has been checked, is anything held given up.
void TreeWalker::assemble() {
    std::size_t total = 0;
    for (const Segment& g : segments) {
        total += g.count;
    }
    if (total != reuse->expectKeys) {
        damaged(file, "the index holds " + std::to_string(total) + " keys for " + std::to_string(reuse->expectKeys) +
                          " records");
    }
    std::vector<IndexEntry> all;
    all.reserve(total);
    for (const Segment& g : segments) {
        auto& from = g.held ? *reuse->entries : s.entries;
        const auto b = from.begin() + static_cast<std::ptrdiff_t>(g.from);
        all.insert(all.end(), std::make_move_iterator(b),
                   std::make_move_iterator(b + static_cast<std::ptrdiff_t>(g.count)));
    }
    s.entries = std::move(all);
}

void TreeWalker::append(std::string key, std::uint32_t recno, std::uint32_t off) {
    if (recno == 0) {
        damaged(file, "the " + nodeAt(off) + " holds record number 0");
    }
    if (const IndexEntry* last = lastEntry(); last != nullptr && compareEntry(*last, key, recno) >= 0) {
        damaged(file, "the keys are out of order in the " + nodeAt(off));
    }
    s.entries.push_back(IndexEntry{std::move(key), recno});
    lastHeld = false;
}

void TreeWalker::linkSiblings() {
    for (std::size_t i = 0; i < leaves.size(); ++i) {
        const std::uint32_t wantLeft = i > 0 ? s.nodes[static_cast<std::size_t>(leaves[i - 1])].offset : kNone;
        const std::uint32_t wantRight =
            i + 1 < leaves.size() ? s.nodes[static_cast<std::size_t>(leaves[i + 1])].offset : kNone;
        if (leafLeft[i] != wantLeft || leafRight[i] != wantRight) {
            damaged(file, "the sibling links of the leaf at offset " +
                              std::to_string(s.nodes[static_cast<std::size_t>(leaves[i])].offset) + " are broken");
        }
    }
    auto link = [this](const std::vector<std::int32_t>& level) {
        for (std::size_t i = 0; i < level.size(); ++i) {
            MNode& n = s.nodes[static_cast<std::size_t>(level[i])];
            n.left = i > 0 ? level[i - 1] : -1;
            n.right = i + 1 < level.size() ? level[i + 1] : -1;
        }
    };
    link(leaves);
    for (const auto& level : interiorByDepth) {
        link(level);
    }
}

static void collectFreeBlocks(TreeRead& s, const std::unordered_set<std::uint32_t>& visited, std::size_t headerSize) {
    std::vector<std::uint32_t> used(visited.begin(), visited.end());
    std::sort(used.begin(), used.end());
    std::size_t u = 0;
    for (std::uint64_t b = headerSize; b < s.fileEnd && s.freeOffsets.size() < kMaxFreeBlocks; b += kNodeSize) {
        while (u < used.size() && used[u] < b) {
            ++u;
        }
        if (u == used.size() || used[u] != b) {
            s.freeOffsets.push_back(static_cast<std::uint32_t>(b));
        }
    }
    std::reverse(s.freeOffsets.begin(), s.freeOffsets.end()); // lowest first off the back
}

void readTree(const BlockReader& read, const std::string& file, std::uint64_t size, std::size_t headerSize,
              std::uint32_t root, char pad, Reuse* reuse, bool collectFree, TreeRead& s) {
    TreeWalker w(read, file, size, headerSize, s, pad, reuse);
    s.root = w.node(root, -1, 0);
    w.linkSiblings();
    if (reuse != nullptr) {
        w.assemble();
    }
    s.fileEnd = (size + kNodeSize - 1) / kNodeSize * kNodeSize;
    if (collectFree) {
        collectFreeBlocks(s, w.visited, headerSize);
    }
}

} // namespace arrowsel::data::idx
