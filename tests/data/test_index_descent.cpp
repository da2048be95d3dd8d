// SPDX-License-Identifier: GPL-3.0-or-later
// The tree of an index file as other xBase programs read it: from the root down, taking at each
// interior node the first entry whose key is not below the key sought. Each interior entry must
// hold the largest key of its child, also after deletes have emptied and dropped nodes.

#include "data/index_file.h"
#include "tests/support/file_bytes.h"
#include "tests/support/index_test_records.h"
#include "tests/support/temp_dir.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <map>
#include <string>
#include <vector>

using namespace arrowsel::data;
using namespace arrowsel::test;

namespace {

constexpr std::uint32_t kNone = 0xFFFFFFFFu;

std::uint16_t le16(const std::string& b, std::size_t at) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(b.at(at)) |
                                      (static_cast<unsigned char>(b.at(at + 1)) << 8));
}

std::uint32_t be32(const std::string& b, std::size_t at) {
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        v = (v << 8) | static_cast<unsigned char>(b.at(at + i));
    }
    return v;
}

// An index file's nodes, read from its bytes alone.
class RawTree {
public:
    RawTree(std::string bytes, IndexKind kind) : b_(std::move(bytes)), kind_(kind) {
        keyLength_ = le16(b_, 12);
        root_ = le32(b_, 0);
        // The leaves from left to right, each with the index position of its first key.
        std::uint32_t leaf = root_;
        while (!isLeaf(leaf)) {
            leaf = child(leaf, 0);
        }
        for (std::size_t start = 0; leaf != kNone; leaf = le32(b_, leaf + 8)) {
            leafStart_[leaf] = start;
            start += count(leaf);
            ++leaves_;
        }
    }

    // The leaf a reader descending by interior keys reaches for `key`; kNone when some interior
    // node has no entry as large, so that the reader finds nothing.
    std::uint32_t descend(const std::string& key, int& depth) const {
        std::uint32_t node = root_;
        for (depth = 1; !isLeaf(node); ++depth) {
            const std::uint16_t n = count(node);
            std::uint16_t i = 0;
            while (i < n && entryKey(node, i) < key) {
                ++i;
            }
            if (i == n) {
                return kNone;
            }
            node = child(node, i);
        }
        return node;
    }

    // Whether index position `pos` lies in `leaf`.
    bool holds(std::uint32_t leaf, std::size_t pos) const {
        const auto it = leafStart_.find(leaf);
        return it != leafStart_.end() && pos >= it->second && pos < it->second + count(leaf);
    }

    std::size_t leaves() const { return leaves_; }

    // The index positions [first, end) of the last leaf under the root's child `i`.
    std::pair<std::size_t, std::size_t> lastLeafOfBranch(std::size_t i) const {
        std::uint32_t node = child(root_, i);
        while (!isLeaf(node)) {
            node = child(node, count(node) - 1u);
        }
        const std::size_t first = leafStart_.at(node);
        return {first, first + count(node)};
    }

private:
    bool isLeaf(std::uint32_t node) const { return (le16(b_, node) & 2) != 0; }
    std::uint16_t count(std::uint32_t node) const { return le16(b_, node + 2); }
    std::size_t entrySize() const { return keyLength_ + (kind_ == IndexKind::Compact ? 8u : 4u); }
    std::string entryKey(std::uint32_t node, std::size_t i) const {
        return b_.substr(node + 12 + i * entrySize(), keyLength_);
    }
    std::uint32_t child(std::uint32_t node, std::size_t i) const {
        return be32(b_, node + 12 + i * entrySize() + entrySize() - 4);
    }

    std::string b_;
    IndexKind kind_;
    std::size_t keyLength_ = 0;
    std::uint32_t root_ = 0;
    std::map<std::uint32_t, std::size_t> leafStart_;
    std::size_t leaves_ = 0;
};

class IndexDescent : public ::testing::TestWithParam<IndexKind> {
protected:
    TempDir dir;
    std::filesystem::path file = dir / "t.idx";
    std::vector<std::string> rows;
    std::vector<std::string> sought; // every key the index held at some time, blank-padded

    // Every key of the index and every key removed from it leads a descending reader to the leaf
    // that holds the first key not below it.
    void expectReadersFindEveryKey(const char* when) {
        auto idx = IndexFile::open(file, false, sampleFields(), CodePage::Windows1252);
        const RawTree tree(readFile(file), GetParam());
        for (const std::string& key : sought) {
            std::size_t pos = 0;
            while (pos < idx->size() && idx->at(pos).key < key) {
                ++pos;
            }
            if (pos == idx->size()) {
                continue;
            }
            int depth = 0;
            const std::uint32_t leaf = tree.descend(key, depth);
            ASSERT_TRUE(tree.holds(leaf, pos)) << when << ": a reader seeking \"" << key << "\" misses \""
                                               << idx->at(pos).key << "\" (depth " << depth << ")";
        }
    }
};

TEST_P(IndexDescent, interiorKeysStayTheLargestOfTheirChild_afterDeletesDropLeavesAndBranches) {
    for (int i = 0; i < 5000; ++i) {
        rows.push_back(makeRecord("K" + std::to_string(100000 + i * 7)));
    }
    const RecordSource source = [this](std::uint32_t recno) { return std::string_view(rows.at(recno - 1)); };
    auto idx = IndexFile::create(file, GetParam(), "NAME", sampleFields(), CodePage::Windows1252,
                                 static_cast<std::uint32_t>(rows.size()), source);
    for (std::size_t i = 0; i < idx->size(); ++i) {
        sought.push_back(idx->at(i).key);
    }
    const RawTree built(readFile(file), GetParam());
    int depth = 0;
    built.descend(sought.front(), depth);
    ASSERT_GE(depth, 3) << "the tree needs a level between the root and the leaves";
    expectReadersFindEveryKey("as built");

    // The last leaf of a branch empties, front to back in one branch and back to front in
    // another: the branch's largest key becomes a smaller one, which the entry above must follow.
    std::vector<IndexEntry> gone[2];
    for (std::size_t branch = 0; branch < 2; ++branch) {
        const auto [first, end] = built.lastLeafOfBranch(branch);
        for (std::size_t pos = first; pos < end; ++pos) {
            gone[branch].push_back(idx->at(pos));
        }
    }
    std::reverse(gone[1].begin(), gone[1].end());
    for (const auto& entries : gone) {
        for (const IndexEntry& e : entries) {
            idx->remove(e.key, e.recno);
        }
    }
    expectReadersFindEveryKey("after the last leaf of a branch emptied");

    // Runs of keys that take whole branches with them, and single keys here and there.
    for (std::uint32_t r = 1; r <= rows.size(); ++r) {
        if ((r > 1500 && r <= 3000) || r % 97 == 0 || r == rows.size()) {
            idx->remove(idx->expression().evaluate(rows[r - 1]), r);
        }
    }
    ASSERT_LT(RawTree(readFile(file), GetParam()).leaves(), built.leaves());
    expectReadersFindEveryKey("after deletes");

    // Keys added back inside an emptied run land beside the branches that lost their ends.
    for (std::uint32_t r = 2000; r <= 2100; ++r) {
        idx->insert(rows[r - 1], r);
    }
    expectReadersFindEveryKey("after inserts");
}

INSTANTIATE_TEST_SUITE_P(Kinds, IndexDescent, ::testing::Values(IndexKind::Compact, IndexKind::NonCompact),
                         [](const auto& kind) {
                             return kind.param == IndexKind::Compact ? std::string("Compact") : "NonCompact";
                         });

} // namespace
