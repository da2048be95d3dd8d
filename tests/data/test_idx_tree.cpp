// SPDX-License-Identifier: GPL-3.0-or-later
// The in-memory index tree's rules, checked on its node images without any file.
#include "data/idx_codec.h"
#include "data/idx_tree.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace arrowsel::data;
using namespace arrowsel::data::idx;

constexpr int kKeyLength = 10;

// Walks the subtree of `id` at `depth`, noting each level's nodes left to right and the depth of
// every leaf; returns how many keys it holds.
std::size_t walk(const IdxTree& t, std::int32_t id, std::size_t depth, std::vector<std::vector<std::int32_t>>& levels,
                 std::vector<std::size_t>& leafDepths) {
    if (levels.size() <= depth) {
        levels.resize(depth + 1);
    }
    levels[depth].push_back(id);
    const MNode& n = t.nd(id);
    if (n.leaf) {
        leafDepths.push_back(depth);
        return n.size;
    }
    std::size_t total = 0;
    for (const std::int32_t k : n.kids) {
        EXPECT_EQ(t.nd(k).parent, id);
        total += walk(t, k, depth + 1, levels, leafDepths);
    }
    EXPECT_EQ(n.size, total) << "node " << id;
    return total;
}

// Keys in order, every node fitting its block, each interior entry the largest key of its child's
// subtree, leaves that decode to their slice, and sibling links joining each level left to right.
void checkTree(const IdxTree& t) {
    const std::vector<IndexEntry>& e = t.entries();
    for (std::size_t i = 1; i < e.size(); ++i) {
        ASSERT_LT(compareEntry(e[i - 1], e[i].key, e[i].recno), 0) << "position " << i;
    }
    std::vector<std::vector<std::int32_t>> levels;
    std::vector<std::size_t> leafDepths;
    ASSERT_EQ(walk(t, t.root(), 0, levels, leafDepths), e.size());
    ASSERT_EQ(t.nd(t.root()).parent, -1);
    EXPECT_TRUE(
        std::all_of(leafDepths.begin(), leafDepths.end(), [&](std::size_t d) { return d == leafDepths.front(); }));
    const bool compact = t.kind() == IndexKind::Compact;
    for (const auto& level : levels) {
        for (std::size_t i = 0; i < level.size(); ++i) {
            const std::int32_t id = level[i];
            const MNode& n = t.nd(id);
            ASSERT_TRUE(n.alive);
            ASSERT_TRUE(t.fits(id)) << "node " << id;
            ASSERT_TRUE(n.leaf || !n.kids.empty());
            EXPECT_EQ(n.left, i > 0 ? level[i - 1] : -1);
            EXPECT_EQ(n.right, i + 1 < level.size() ? level[i + 1] : -1);
            unsigned char p[kNodeSize];
            const std::size_t start = t.positionOf(id);
            t.encodeNode(id, start, p);
            EXPECT_EQ(getLE32(p + 4), n.left >= 0 ? t.nd(n.left).offset : kNone);
            EXPECT_EQ(getLE32(p + 8), n.right >= 0 ? t.nd(n.right).offset : kNone);
            if (n.leaf) {
                std::vector<IndexEntry> got;
                auto sink = [&got](std::string key, std::uint32_t recno) { got.push_back({std::move(key), recno}); };
                const auto count = getLE16(p + 2);
                if (compact) {
                    decodeCompactLeaf(p, n.offset, count, kKeyLength, ' ', "tree", sink);
                } else {
                    decodeNonCompactLeaf(p, n.offset, count, kKeyLength, "tree", sink);
                }
                ASSERT_EQ(got.size(), n.size);
                for (std::size_t k = 0; k < got.size(); ++k) {
                    ASSERT_EQ(got[k].key, e[start + k].key);
                    ASSERT_EQ(got[k].recno, e[start + k].recno);
                }
                continue;
            }
            ASSERT_EQ(getLE16(p + 2), n.kids.size());
            const std::size_t entrySize = kKeyLength + (compact ? 8 : 4);
            std::size_t end = start;
            for (std::size_t k = 0; k < n.kids.size(); ++k) {
                end += t.nd(n.kids[k]).size;
                const unsigned char* q = p + 12 + k * entrySize;
                const IndexEntry& largest = e[end - 1];
                EXPECT_EQ(std::string(reinterpret_cast<const char*>(q), kKeyLength), largest.key);
                if (compact) {
                    EXPECT_EQ(getBE32(q + kKeyLength), largest.recno);
                }
                EXPECT_EQ(getBE32(q + kKeyLength + (compact ? 4 : 0)), t.nd(n.kids[k]).offset);
            }
        }
    }
}

std::vector<IndexEntry> makeEntries(std::mt19937& rng, std::size_t n) {
    // Few distinct prefixes and many equal keys, so leaves share bytes and equal keys order by
    // record number.
    std::vector<IndexEntry> out;
    for (std::size_t i = 0; i < n; ++i) {
        std::string key = "K" + std::to_string(rng() % 700);
        key.resize(kKeyLength, ' ');
        out.push_back(IndexEntry{key, static_cast<std::uint32_t>(i + 1)});
    }
    return out;
}

class IdxTreeRules : public ::testing::TestWithParam<IndexKind> {
protected:
    IdxTree tree;
    std::mt19937 rng{7};

    void SetUp() override {
        tree.setFormat(GetParam(), kKeyLength, ' ', "tree");
        tree.setGrow([](std::uint64_t, std::size_t) {});
        tree.layOut({});
    }

    void insert(const IndexEntry& x) {
        tree.insertAt(tree.lowerBound(x.key, x.recno), x);
        tree.splitOverfull();
        tree.dirty().clear();
        tree.links().clear();
    }

    void remove(const IndexEntry& x) {
        const std::size_t pos = tree.lowerBound(x.key, x.recno);
        ASSERT_LT(pos, tree.entries().size());
        ASSERT_EQ(tree.entries()[pos].recno, x.recno);
        tree.removeAt(pos);
        tree.dirty().clear();
        tree.links().clear();
    }

    // Inserts `all` in the given order, then removes every one in `removal` order, checking the
    // tree as it grows and shrinks.
    void growAndEmpty(const std::vector<IndexEntry>& all, const std::vector<IndexEntry>& removal) {
        for (std::size_t i = 0; i < all.size(); ++i) {
            insert(all[i]);
            if (i % 113 == 0 || i + 1 == all.size()) {
                ASSERT_NO_FATAL_FAILURE(checkTree(tree));
            }
        }
        ASSERT_EQ(tree.entries().size(), all.size());
        EXPECT_FALSE(tree.nd(tree.root()).leaf) << "enough keys to split";
        for (std::size_t i = 0; i < removal.size(); ++i) {
            ASSERT_NO_FATAL_FAILURE(remove(removal[i]));
            if (i % 113 == 0) {
                ASSERT_NO_FATAL_FAILURE(checkTree(tree));
            }
        }
        ASSERT_NO_FATAL_FAILURE(checkTree(tree));
        EXPECT_TRUE(tree.entries().empty());
        EXPECT_TRUE(tree.nd(tree.root()).leaf);
    }
};

TEST_P(IdxTreeRules, RandomInsertsAndRemovalsKeepTheTreeSound) {
    std::vector<IndexEntry> all = makeEntries(rng, 4000);
    std::vector<IndexEntry> removal = all;
    std::shuffle(removal.begin(), removal.end(), rng);
    growAndEmpty(all, removal);
}

TEST_P(IdxTreeRules, SortedInsertsAndRemovalsKeepTheTreeSound) {
    std::vector<IndexEntry> all = makeEntries(rng, 4000);
    std::sort(all.begin(), all.end(),
              [](const IndexEntry& a, const IndexEntry& b) { return compareEntry(a, b.key, b.recno) < 0; });
    // Removed from the front, then a bulk layout refilled and emptied from the back.
    growAndEmpty(all, all);
    tree.layOut(all);
    ASSERT_NO_FATAL_FAILURE(checkTree(tree));
    std::vector<IndexEntry> backwards(all.rbegin(), all.rend());
    for (const IndexEntry& x : backwards) {
        ASSERT_NO_FATAL_FAILURE(remove(x));
    }
    ASSERT_NO_FATAL_FAILURE(checkTree(tree));
}

INSTANTIATE_TEST_SUITE_P(BothKinds, IdxTreeRules, ::testing::Values(IndexKind::Compact, IndexKind::NonCompact),
                         [](const auto& p) { return p.param == IndexKind::Compact ? "Compact" : "NonCompact"; });

} // namespace
