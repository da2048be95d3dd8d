// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/idx_tree.h"

#include "data/idx_codec.h"
#include "data/table_error.h"

#include <algorithm>
#include <cstring>

namespace arrowsel::data::idx {

int compareEntry(const IndexEntry& a, std::string_view key, std::uint32_t recno) {
    const int c = a.key.compare(key);
    if (c != 0) {
        return c;
    }
    return a.recno < recno ? -1 : (a.recno > recno ? 1 : 0);
}

void IdxTree::setFormat(IndexKind kind, int keyLength, char pad, const std::string& file) {
    kind_ = kind;
    keyLength_ = keyLength;
    pad_ = pad;
    name_ = file;
}

void IdxTree::adopt(std::vector<IndexEntry> entries, std::vector<MNode> nodes, std::int32_t root,
                    std::vector<std::uint32_t> freeOffsets, std::uint64_t fileEnd) {
    fileEnd_ = fileEnd;
    root_ = root;
    entries_ = std::move(entries);
    nodes_ = std::move(nodes);
    freeIds_.clear();
    freeOffsets_ = std::move(freeOffsets);
}

std::size_t IdxTree::lowerBound(std::string_view key, std::uint32_t recno) const {
    auto it = std::lower_bound(entries_.begin(), entries_.end(), 0,
                               [&](const IndexEntry& e, int) { return compareEntry(e, key, recno) < 0; });
    return static_cast<std::size_t>(it - entries_.begin());
}

std::size_t IdxTree::positionOf(std::int32_t id) const {
    std::size_t start = 0;
    std::int32_t n = id;
    for (std::int32_t p = node(n).parent; p >= 0; n = p, p = node(p).parent) {
        for (std::int32_t k : node(p).kids) {
            if (k == n) {
                break;
            }
            start += node(k).size;
        }
    }
    return start;
}

// The leaf holding position `pos` (the leaf of the key now at `pos`, or the last leaf when
// `pos` is the end), and where that leaf's keys start.
std::int32_t IdxTree::leafFor(std::size_t pos, std::size_t& start) const {
    std::int32_t id = root_;
    start = 0;
    while (!node(id).leaf) {
        const auto& kids = node(id).kids;
        std::int32_t chosen = kids.back();
        for (std::size_t i = 0; i + 1 < kids.size(); ++i) {
            const std::uint32_t sz = node(kids[i]).size;
            if (pos < start + sz) {
                chosen = kids[i];
                break;
            }
            start += sz;
        }
        id = chosen;
    }
    return id;
}

// A new node; `bulk` while laying out a whole file, which then only grows at its end.
std::int32_t IdxTree::allocNode(bool leaf, bool bulk) {
    std::int32_t id;
    if (!freeIds_.empty()) {
        id = freeIds_.back();
        freeIds_.pop_back();
        node(id) = MNode{};
    } else {
        id = static_cast<std::int32_t>(nodes_.size());
        nodes_.emplace_back();
    }
    std::uint32_t off;
    if (bulk) {
        if (fileEnd_ + kNodeSize > 0xFFFFFFFFull) {
            throw ETableError("Index file " + name_ + " has grown too large.");
        }
        off = static_cast<std::uint32_t>(fileEnd_);
        fileEnd_ += kNodeSize;
    } else {
        if (freeOffsets_.empty()) {
            growFile();
        }
        off = freeOffsets_.back();
        freeOffsets_.pop_back();
    }
    node(id).offset = off;
    node(id).leaf = leaf;
    return id;
}

// Adds zeroed blocks at the end of the file and syncs them once, so that the nodes later
// written there are plain overwrites (a write that grows a file costs a journal commit).
void IdxTree::growFile() {
    const std::size_t blocks = std::clamp<std::size_t>(nodes_.size() / 16, 16, 256);
    if (fileEnd_ + blocks * kNodeSize > 0xFFFFFFFFull) {
        throw ETableError("Index file " + name_ + " has grown too large.");
    }
    grow_(fileEnd_, blocks * kNodeSize);
    for (std::size_t b = blocks; b-- > 0;) {
        freeOffsets_.push_back(static_cast<std::uint32_t>(fileEnd_ + b * kNodeSize));
    }
    fileEnd_ += blocks * kNodeSize;
}

void IdxTree::freeNode(std::int32_t id) {
    node(id).alive = false;
    node(id).kids.clear();
    freeIds_.push_back(id);
    freeOffsets_.push_back(node(id).offset);
}

// The last key of the node changed: its parent's entry for it must be written again, and so
// on up while the node is its parent's last child.
void IdxTree::maxChanged(std::int32_t id) {
    for (std::int32_t n = id, p = node(id).parent; p >= 0; n = p, p = node(p).parent) {
        dirty_.insert(p);
        if (node(p).kids.back() != n) {
            break;
        }
    }
}

bool IdxTree::leafFits(std::span<const IndexEntry> entries) const {
    if (kind_ == IndexKind::NonCompact) {
        return entries.size() <= static_cast<std::size_t>(nonCompactCapacity(keyLength_));
    }
    unsigned char scratch[kNodeSize];
    return encodeCompactLeaf(scratch, entries, keyLength_, pad_, 0, kNone, kNone);
}

int IdxTree::interiorCapacity() const {
    return kind_ == IndexKind::Compact ? compactInteriorCapacity(keyLength_) : nonCompactCapacity(keyLength_);
}

bool IdxTree::fits(std::int32_t id) const {
    const MNode& n = node(id);
    if (!n.leaf) {
        return n.kids.size() <= static_cast<std::size_t>(interiorCapacity());
    }
    const std::size_t start = positionOf(id);
    return leafFits(std::span<const IndexEntry>(entries_.data() + start, n.size));
}

void IdxTree::insertAt(std::size_t pos, IndexEntry e) {
    std::size_t start = 0;
    const std::int32_t leaf = leafFor(pos, start);
    const bool atEnd = pos == start + node(leaf).size;
    entries_.insert(entries_.begin() + static_cast<std::ptrdiff_t>(pos), std::move(e));
    for (std::int32_t n = leaf; n >= 0; n = node(n).parent) {
        ++node(n).size;
    }
    dirty_.insert(leaf);
    if (atEnd) {
        maxChanged(leaf);
    }
    for (std::int32_t n = leaf; n >= 0 && !fits(n);) {
        split(n);
        n = node(n).parent;
    }
}

void IdxTree::split(std::int32_t id) {
    const bool leaf = node(id).leaf;
    const std::int32_t nid = allocNode(leaf);
    if (leaf) {
        const std::size_t start = positionOf(id);
        const std::size_t count = node(id).size;
        std::size_t k = count / 2;
        if (kind_ == IndexKind::Compact) {
            const IndexEntry* base = entries_.data() + start;
            for (std::size_t tries = 0; tries <= count; ++tries) {
                const bool leftOk = leafFits(std::span<const IndexEntry>(base, k));
                const bool rightOk = leafFits(std::span<const IndexEntry>(base + k, count - k));
                if (leftOk && rightOk) {
                    break;
                }
                if (!leftOk && k > 1) {
                    --k;
                } else if (!rightOk && k + 1 < count) {
                    ++k;
                } else {
                    throw ETableError("Index file " + name_ + ": a leaf cannot be split.");
                }
            }
        }
        node(id).size = static_cast<std::uint32_t>(k);
        node(nid).size = static_cast<std::uint32_t>(count - k);
    } else {
        auto& kids = node(id).kids;
        const std::size_t keep = (kids.size() + 1) / 2;
        std::vector<std::int32_t> moved(kids.begin() + static_cast<std::ptrdiff_t>(keep), kids.end());
        kids.resize(keep);
        std::uint32_t movedSize = 0;
        for (std::int32_t k : moved) {
            node(k).parent = nid;
            movedSize += node(k).size;
        }
        node(id).size -= movedSize;
        node(nid).size = movedSize;
        node(nid).kids = std::move(moved);
    }
    const std::int32_t right = node(id).right;
    node(nid).left = id;
    node(nid).right = right;
    node(id).right = nid;
    if (right >= 0) {
        node(right).left = nid;
        links_.insert(right);
    }
    if (id == root_) {
        const std::int32_t rid = allocNode(false);
        node(rid).kids = {id, nid};
        node(rid).size = node(id).size + node(nid).size;
        node(id).parent = rid;
        node(nid).parent = rid;
        root_ = rid;
        dirty_.insert(rid);
    } else {
        const std::int32_t p = node(id).parent;
        auto& kids = node(p).kids;
        kids.insert(std::find(kids.begin(), kids.end(), id) + 1, nid);
        node(nid).parent = p;
        dirty_.insert(p);
    }
    dirty_.insert(id);
    dirty_.insert(nid);
}

void IdxTree::removeAt(std::size_t pos) {
    std::size_t start = 0;
    const std::int32_t leaf = leafFor(pos, start);
    const bool wasLast = pos + 1 == start + node(leaf).size;
    entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(pos));
    for (std::int32_t n = leaf; n >= 0; n = node(n).parent) {
        --node(n).size;
    }
    if (node(leaf).size == 0 && leaf != root_) {
        detach(leaf);
    } else {
        dirty_.insert(leaf);
        if (wasLast) {
            maxChanged(leaf);
        }
    }
    // A root with a single child hands the root over to it.
    while (!node(root_).leaf && node(root_).kids.size() == 1) {
        const std::int32_t child = node(root_).kids.front();
        freeNode(root_);
        root_ = child;
        node(child).parent = -1;
        node(child).left = -1;
        node(child).right = -1;
        dirty_.insert(child);
    }
}

void IdxTree::detach(std::int32_t id) {
    const std::int32_t p = node(id).parent;
    auto& kids = node(p).kids;
    const bool wasLastKid = kids.back() == id;
    kids.erase(std::find(kids.begin(), kids.end(), id));
    const std::int32_t l = node(id).left;
    const std::int32_t r = node(id).right;
    if (l >= 0) {
        node(l).right = r;
        links_.insert(l);
    }
    if (r >= 0) {
        node(r).left = l;
        links_.insert(r);
    }
    freeNode(id);
    if (kids.empty()) {
        if (p != root_) {
            detach(p);
        } else {
            node(p).leaf = true; // everything is gone: the root becomes an empty leaf
            node(p).size = 0;
            dirty_.insert(p);
        }
        return;
    }
    dirty_.insert(p);
    if (wasLastKid) {
        maxChanged(p);
    }
}

void IdxTree::encodeNode(std::int32_t id, std::size_t start, unsigned char* out) const {
    const MNode& n = node(id);
    const auto attrs = static_cast<std::uint16_t>((n.leaf ? kAttrLeaf : 0) | (id == root_ ? kAttrRoot : 0));
    const std::uint32_t left = n.left >= 0 ? node(n.left).offset : kNone;
    const std::uint32_t right = n.right >= 0 ? node(n.right).offset : kNone;
    const auto kl = static_cast<std::size_t>(keyLength_);
    if (n.leaf && kind_ == IndexKind::Compact) {
        if (!encodeCompactLeaf(out, std::span<const IndexEntry>(entries_.data() + start, n.size), keyLength_, pad_,
                               attrs, left, right)) {
            throw ETableError("Index file " + name_ + ": a leaf does not fit its node.");
        }
        return;
    }
    std::memset(out, 0, kNodeSize);
    putLE16(out, attrs);
    putLE32(out + 4, left);
    putLE32(out + 8, right);
    unsigned char* e = out + 12;
    if (n.leaf) {
        putLE16(out + 2, static_cast<std::uint16_t>(n.size));
        for (std::size_t i = 0; i < n.size; ++i) {
            const IndexEntry& x = entries_[start + i];
            std::memcpy(e, x.key.data(), kl);
            putBE32(e + kl, x.recno);
            e += kl + 4;
        }
        return;
    }
    putLE16(out + 2, static_cast<std::uint16_t>(n.kids.size()));
    std::size_t pos = start;
    const bool compact = kind_ == IndexKind::Compact;
    for (std::int32_t k : n.kids) {
        pos += node(k).size;
        const IndexEntry& x = entries_[pos - 1];
        std::memcpy(e, x.key.data(), kl);
        if (compact) {
            putBE32(e + kl, x.recno);
            putBE32(e + kl + 4, node(k).offset);
            e += kl + 8;
        } else {
            putBE32(e + kl, node(k).offset);
            e += kl + 4;
        }
    }
}

std::int32_t IdxTree::layNode(Layout& t, bool leaf, std::size_t start, std::uint32_t size) {
    const std::int32_t id = allocNode(leaf, true);
    node(id).size = size;
    t.starts.push_back(start);
    t.level.push_back(id);
    return id;
}

// Compact leaves hold as many keys as their compressed form fits in a node.
void IdxTree::layCompactLeaves(Layout& t) {
    std::size_t s = 0;
    std::size_t count = 0;
    std::size_t bytes = 0;
    std::uint32_t maxRecno = 0;
    int prevTrail = 0;
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        const IndexEntry& e = entries_[i];
        const int trail = trailingCount(e.key, pad_);
        const int dup = count == 0 ? 0 : sharedCount(entries_[i - 1].key, prevTrail, e.key, trail);
        const auto stored = static_cast<std::size_t>(keyLength_ - dup - trail);
        const std::uint32_t mr = std::max(maxRecno, e.recno);
        const auto eb = static_cast<std::size_t>(leafLayout(keyLength_, mr).entryBytes);
        if (count > 0 && (count + 1) * eb + bytes + stored > kCompactLeafSpace) {
            layNode(t, true, s, static_cast<std::uint32_t>(count));
            s = i;
            count = 1;
            bytes = static_cast<std::size_t>(keyLength_ - trail);
            maxRecno = e.recno;
        } else {
            ++count;
            bytes += stored;
            maxRecno = mr;
        }
        prevTrail = trail;
    }
    layNode(t, true, s, static_cast<std::uint32_t>(count));
}

void IdxTree::layLeaves(Layout& t) {
    const std::size_t n = entries_.size();
    if (n == 0) {
        layNode(t, true, 0, 0);
    } else if (kind_ == IndexKind::NonCompact) {
        const auto cap = static_cast<std::size_t>(nonCompactCapacity(keyLength_));
        for (std::size_t s = 0; s < n; s += cap) {
            layNode(t, true, s, static_cast<std::uint32_t>(std::min(cap, n - s)));
        }
    } else {
        layCompactLeaves(t);
    }
}

// Interior levels, the children spread evenly over as few nodes as will hold them, up to the root.
void IdxTree::layInteriorLevels(Layout& t) {
    const auto cap = static_cast<std::size_t>(interiorCapacity());
    std::vector<std::int32_t> below;
    for (;;) {
        below.swap(t.level);
        t.level.clear();
        for (std::size_t i = 0; i < below.size(); ++i) {
            node(below[i]).left = i > 0 ? below[i - 1] : -1;
            node(below[i]).right = i + 1 < below.size() ? below[i + 1] : -1;
        }
        if (below.size() == 1) {
            root_ = below.front();
            return;
        }
        const std::size_t groups = (below.size() + cap - 1) / cap;
        std::size_t at = 0;
        for (std::size_t g = 0; g < groups; ++g) {
            const std::size_t take = below.size() / groups + (g < below.size() % groups ? 1 : 0);
            const std::int32_t id = layNode(t, false, t.starts[static_cast<std::size_t>(below[at])], 0);
            std::uint32_t size = 0;
            for (std::size_t j = 0; j < take; ++j, ++at) {
                node(id).kids.push_back(below[at]);
                node(below[at]).parent = id;
                size += node(below[at]).size;
            }
            node(id).size = size;
        }
    }
}

void IdxTree::splitOverfull() {
    for (bool again = true; again;) {
        again = false;
        const std::vector<std::int32_t> check(dirty_.begin(), dirty_.end());
        for (std::int32_t id : check) {
            if (nd(id).alive && !fits(id)) {
                split(id);
                again = true;
            }
        }
    }
}

std::vector<std::size_t> IdxTree::layOut(std::vector<IndexEntry> entries) {
    entries_ = std::move(entries);
    nodes_.clear();
    freeIds_.clear();
    freeOffsets_.clear();
    dirty_.clear();
    links_.clear();
    fileEnd_ = headerSize(kind_);
    Layout t;
    layLeaves(t);
    layInteriorLevels(t);
    return std::move(t.starts);
}

bool IdxTree::replaceLeaves(std::vector<PatchedLeaf>& leaves, std::uint32_t& badOffset) {
    // From the back, so that the places of the leaves still to do stay where they were.
    std::sort(leaves.begin(), leaves.end(),
              [](const PatchedLeaf& a, const PatchedLeaf& b) { return a.start > b.start; });
    for (PatchedLeaf& l : leaves) {
        const std::size_t had = nd(l.id).size;
        const auto at = entries_.begin() + static_cast<std::ptrdiff_t>(l.start);
        const std::size_t common = std::min(had, l.entries.size());
        std::move(l.entries.begin(), l.entries.begin() + static_cast<std::ptrdiff_t>(common), at);
        if (l.entries.size() > had) {
            entries_.insert(at + static_cast<std::ptrdiff_t>(had),
                            std::make_move_iterator(l.entries.begin() + static_cast<std::ptrdiff_t>(had)),
                            std::make_move_iterator(l.entries.end()));
        } else {
            entries_.erase(at + static_cast<std::ptrdiff_t>(common), at + static_cast<std::ptrdiff_t>(had));
        }
        for (std::int32_t n = l.id; n >= 0; n = nd(n).parent) {
            node(n).size = static_cast<std::uint32_t>(nd(n).size - had + l.entries.size());
        }
    }
    for (const PatchedLeaf& l : leaves) {
        const std::size_t start = positionOf(l.id);
        const std::size_t end = start + nd(l.id).size;
        const bool before =
            start == 0 || compareEntry(entries_[start - 1], entries_[start].key, entries_[start].recno) < 0;
        const bool after =
            end == entries_.size() || compareEntry(entries_[end - 1], entries_[end].key, entries_[end].recno) < 0;
        if (!before || !after) {
            badOffset = nd(l.id).offset;
            return false;
        }
    }
    return true;
}

} // namespace arrowsel::data::idx
