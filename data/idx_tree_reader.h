// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Reading the tree of an .idx file: from its root, only the nodes the tree reaches, one at a time
// and depth-first (a file's size says nothing about how much of it is in use: a sparse file of
// gigabytes may hold a few nodes), every node checked before it is used: offsets inside the file,
// no block reached twice, no deeper than kMaxDepth, keys in order across leaves, sibling links
// that join each level left to right. A reader following another program's changes hands in what
// it holds (Reuse): blocks not listed as changed are taken from that instead of read, and what is
// held is given up only once the whole new tree has been checked. Internal to data/.

#include "data/idx_codec.h"
#include "data/idx_tree.h"

#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace arrowsel::data::idx {

// Everything read from one file.
struct TreeRead {
    HeaderFields head;
    std::uint64_t fileEnd = 0;
    std::vector<std::uint32_t> freeOffsets; // blocks no node uses, highest first
    std::int32_t root = -1;
    std::vector<IndexEntry> entries;
    std::vector<MNode> nodes;
};

// What a reader already holds of a file, to take unchanged blocks from instead of reading them.
struct Reuse {
    const std::vector<MNode>* nodes = nullptr;
    std::vector<IndexEntry>* entries = nullptr; // moved from only once the new tree is sound
    std::unordered_map<std::uint32_t, std::int32_t> byOffset;
    std::vector<std::size_t> start; // by node id: where a leaf's keys start
    std::unordered_set<std::uint32_t> changed;
    std::size_t expectKeys = 0;
};

// A run of keys of the new tree: taken from the keys already held, or from blocks just read.
struct Segment {
    bool held = false;
    std::size_t from = 0;
    std::size_t count = 0;
};

// Reads `len` bytes of the file at `at` (whole, or the read throws).
using BlockReader = std::function<void(unsigned char* out, std::size_t len, std::uint64_t at)>;

// Reads the tree depth-first into `s`, whose header fields are already parsed.
class TreeWalker {
public:
    TreeWalker(const BlockReader& reader, const std::string& name, std::uint64_t fileSize, std::size_t header,
               TreeRead& into, char padByte, Reuse* held);

    // The node at `off` and its subtree; returns its id.
    std::int32_t node(std::uint32_t off, std::int32_t parent, int depth);
    // The keys of a leaf block `p` at `off` holding `count` of them, appended to the keys read.
    void leaf(const unsigned char* p, std::uint32_t off, std::uint16_t count);
    // Checks the leaves' sibling links and links every level.
    void linkSiblings();
    // The keys of the new tree in order, moved out of what was held and what was read. Only
    // here, once the whole tree has been checked, is anything held given up.
    void assemble();

    std::unordered_set<std::uint32_t> visited;

private:
    void noteInterior(std::int32_t id, int depth);
    const IndexEntry* lastEntry() const;
    void addSegment(bool fromHeld, std::size_t from, std::size_t count);
    // A block unchanged since it was read: its place in the tree and its keys as held.
    std::int32_t held(std::int32_t oldId, std::uint32_t off, std::int32_t parent, int depth);
    void append(std::string key, std::uint32_t recno, std::uint32_t off);

    const BlockReader& read_;
    const std::string& file;
    std::uint64_t size;
    std::size_t headerSize;
    TreeRead& s;
    char pad;
    Reuse* reuse = nullptr;
    std::vector<std::int32_t> leaves;
    std::vector<std::vector<std::int32_t>> interiorByDepth;
    std::vector<std::uint32_t> leafLeft;
    std::vector<std::uint32_t> leafRight;
    std::vector<Segment> segments;
    bool lastHeld = false; // the last key so far is a held one, at heldEnd - 1
    std::size_t heldEnd = 0;
};

// Reads the tree whose root is at `root` from a file of `size` bytes into `s` (see TreeWalker);
// with `collectFree`, notes the blocks outside it as free (this engine keeps no free list in the
// file: every block outside the tree is free).
void readTree(const BlockReader& read, const std::string& file, std::uint64_t size, std::size_t headerSize,
              std::uint32_t root, char pad, Reuse* reuse, bool collectFree, TreeRead& s);

} // namespace arrowsel::data::idx
