// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The B-tree of an .idx file as kept in memory, and its edits; no file is touched here.
// Internal to data/.
//
// The keys live in one array in index order (ascending bytes, equal keys by ascending record
// number); each node knows its file block, its parent, its siblings on its level and how many keys
// its subtree holds, and a leaf's keys are the slice that starts after the keys of every leaf
// before it. An interior node's entry for a child is that child's largest key. A change notes the
// nodes it leaves to be written whole (`dirty`) and those whose only change is a sibling link
// (`links`); the caller writes them and clears both. Blocks come from the free blocks the file
// holds; when none is left, `grow` is asked to add zeroed blocks at the end of the file.

#include "data/idx_node.h"
#include "data/index_file.h"

#include <cstdint>
#include <functional>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace arrowsel::data::idx {

// A node of the tree: which file block it is, how it hangs in the tree and how many keys its
// subtree holds.
struct MNode {
    std::uint32_t offset = 0;
    std::int32_t parent = -1;
    std::int32_t left = -1;
    std::int32_t right = -1;
    bool leaf = true;
    bool alive = true;
    std::uint32_t size = 0;
    std::vector<std::int32_t> kids;
};

// Orders an entry against (key, recno): negative, zero or positive.
int compareEntry(const IndexEntry& a, std::string_view key, std::uint32_t recno);

// A leaf read again while following changes: which node, where its keys started, its keys now.
struct PatchedLeaf {
    std::int32_t id = -1;
    std::size_t start = 0;
    std::vector<IndexEntry> entries;
};

class IdxTree {
public:
    // Writes and syncs `bytes` zeroed bytes at `at`, the file's end, before blocks there are used.
    using Grow = std::function<void(std::uint64_t at, std::size_t bytes)>;

    // The kind of file, the key length and the keys' pad byte the nodes are laid out for; `file`
    // names the file in messages.
    void setFormat(IndexKind kind, int keyLength, char pad, const std::string& file);
    void setGrow(Grow grow) { grow_ = std::move(grow); }

    // Takes a tree read from a file; `freeOffsets` are the blocks no node uses, highest first.
    void adopt(std::vector<IndexEntry> entries, std::vector<MNode> nodes, std::int32_t root,
               std::vector<std::uint32_t> freeOffsets, std::uint64_t fileEnd);

    IndexKind kind() const { return kind_; }
    int keyLength() const { return keyLength_; }
    char pad() const { return pad_; }
    const std::string& name() const { return name_; }

    const std::vector<IndexEntry>& entries() const { return entries_; }
    const std::vector<MNode>& nodes() const { return nodes_; }
    std::vector<IndexEntry>& entries() { return entries_; }
    const MNode& nd(std::int32_t id) const { return nodes_[static_cast<std::size_t>(id)]; }
    std::int32_t root() const { return root_; }
    std::uint64_t fileEnd() const { return fileEnd_; }
    std::set<std::int32_t>& dirty() { return dirty_; }
    std::set<std::int32_t>& links() { return links_; }

    // The first position not before (key, recno).
    std::size_t lowerBound(std::string_view key, std::uint32_t recno) const;
    // Where the keys of node `id` start.
    std::size_t positionOf(std::int32_t id) const;
    // True when node `id` fits its block.
    bool fits(std::int32_t id) const;

    void insertAt(std::size_t pos, IndexEntry e);
    void removeAt(std::size_t pos);
    // Splits every dirty node that no longer fits (a leaf another program packed more tightly
    // than this engine packs), until all fit.
    void splitOverfull();

    // Lays the tree out afresh over `entries` (in index order) from the end of the header on,
    // the file growing only at its end; returns where each node's keys start, by node id.
    std::vector<std::size_t> layOut(std::vector<IndexEntry> entries);

    // The block image of node `id`, whose keys start at `start`.
    void encodeNode(std::int32_t id, std::size_t start, unsigned char* out) const;

    // Puts each leaf's new keys in place of its old ones; false, with `badOffset` the block of a
    // leaf whose keys then sit out of order between its neighbours.
    bool replaceLeaves(std::vector<PatchedLeaf>& leaves, std::uint32_t& badOffset);

private:
    MNode& node(std::int32_t id) { return nodes_[static_cast<std::size_t>(id)]; }
    const MNode& node(std::int32_t id) const { return nodes_[static_cast<std::size_t>(id)]; }

    std::int32_t leafFor(std::size_t pos, std::size_t& start) const;
    std::int32_t allocNode(bool leaf, bool bulk = false);
    void growFile();
    void freeNode(std::int32_t id);
    void maxChanged(std::int32_t id);
    bool leafFits(std::span<const IndexEntry> entries) const;
    int interiorCapacity() const;
    void split(std::int32_t id);
    void detach(std::int32_t id);

    // A tree being laid out: where each node's entries start (by node id) and the level in progress.
    struct Layout {
        std::vector<std::size_t> starts;
        std::vector<std::int32_t> level;
    };
    std::int32_t layNode(Layout& t, bool leaf, std::size_t start, std::uint32_t size);
    void layCompactLeaves(Layout& t);
    void layLeaves(Layout& t);
    void layInteriorLevels(Layout& t);

    IndexKind kind_ = IndexKind::Compact;
    int keyLength_ = 0;
    char pad_ = ' ';
    std::string name_;
    Grow grow_;

    std::vector<IndexEntry> entries_;
    std::vector<MNode> nodes_;
    std::int32_t root_ = -1;
    std::uint64_t fileEnd_ = 0;
    std::vector<std::int32_t> freeIds_;
    std::vector<std::uint32_t> freeOffsets_;
    std::set<std::int32_t> dirty_; // nodes to write whole
    std::set<std::int32_t> links_; // nodes whose sibling links changed
};

} // namespace arrowsel::data::idx
