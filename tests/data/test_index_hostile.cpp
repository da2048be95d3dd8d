// SPDX-License-Identifier: GPL-3.0-or-later
// Damaged and hostile .idx files: every one must give an ETableError, never a crash, a hang or a
// read outside the file. The files are forged from valid ones written by the engine.

#include "data/index_file.h"
#include "data/table_error.h"
#include "tests/support/file_bytes.h"
#include "tests/support/index_test_records.h"
#include "tests/support/temp_dir.h"

#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <iterator>
#include <random>

using namespace arrowsel::data;
using namespace arrowsel::test;

namespace {

struct Forge {
    TempDir dir;
    std::filesystem::path file = dir / "h.idx";
    IndexKind kind;
    std::string valid;
    static constexpr int kKeyLength = 10;

    Forge(IndexKind k, std::size_t records) : kind(k) {
        std::vector<std::string> rows;
        for (std::size_t i = 0; i < records; ++i) {
            rows.push_back(makeRecord("K" + std::to_string(i * 7919 % 1000)));
        }
        IndexFile::create(file, kind, "NAME", sampleFields(), CodePage::Windows1252,
                          static_cast<std::uint32_t>(rows.size()),
                          [&](std::uint32_t r) { return std::string_view(rows[r - 1]); });
        valid = readFile(file);
    }

    std::uint32_t root() const { return le32(valid, 0); }
    bool compact() const { return kind == IndexKind::Compact; }
    // Offset of the child pointer of entry `i` in the interior node at `node`.
    std::size_t childPointerAt(std::uint32_t node, std::size_t i) const {
        const std::size_t entry = compact() ? kKeyLength + 8 : kKeyLength + 4;
        return node + 12 + i * entry + kKeyLength + (compact() ? 4 : 0);
    }
    std::uint32_t firstLeaf() const {
        std::uint32_t n = root();
        while ((static_cast<unsigned char>(valid.at(n)) & 2) == 0) {
            n = be32(valid, childPointerAt(n, 0));
        }
        return n;
    }

    // Opens `bytes` as the index file; returns the error text ("" when it opened).
    std::string openBytes(const std::string& bytes) const {
        writeFile(file, bytes);
        try {
            auto idx = IndexFile::open(file, false, sampleFields(), CodePage::Windows1252);
            for (std::size_t i = 0; i < idx->size(); ++i) {
                (void)idx->at(i).key.size();
            }
            (void)idx->findPrefix("K1");
            return {};
        } catch (const ETableError& e) {
            return e.what();
        }
    }

    void expectRefused(const std::string& bytes, const char* what) const {
        const std::string msg = openBytes(bytes);
        EXPECT_FALSE(msg.empty()) << what << ": a damaged file was accepted";
        EXPECT_NE(msg.find(file.string()), std::string::npos) << what << ": " << msg;
    }
};

class IndexHostile : public ::testing::TestWithParam<IndexKind> {};

std::string kindName(const ::testing::TestParamInfo<IndexKind>& info) {
    return info.param == IndexKind::Compact ? "Compact" : "NonCompact";
}

} // namespace

TEST_P(IndexHostile, validFileOpens) {
    Forge f(GetParam(), 3000);
    EXPECT_EQ(f.openBytes(f.valid), "");
}

TEST_P(IndexHostile, truncatedFiles_areRefused) {
    Forge f(GetParam(), 3000);
    for (std::size_t len : {std::size_t{0}, std::size_t{100}, std::size_t{511}, std::size_t{600}, std::size_t{1023},
                            std::size_t{1100}, f.valid.size() / 2, f.valid.size() - 512}) {
        f.expectRefused(f.valid.substr(0, len), "truncated");
    }
}

TEST_P(IndexHostile, rootOffsets_outsideTheFileOrMisaligned_areRefused) {
    Forge f(GetParam(), 300);
    for (std::uint32_t root : {0u, 512u + 3u, static_cast<std::uint32_t>(f.valid.size()), 0xFFFFFFFFu, 0xFFFFFE00u}) {
        std::string b = f.valid;
        putLe32(b, 0, root);
        f.expectRefused(b, "root offset");
    }
}

TEST_P(IndexHostile, keyLengths_zeroOr300_areRefused) {
    Forge f(GetParam(), 300);
    for (std::uint16_t kl : {std::uint16_t{0}, std::uint16_t{300}, std::uint16_t{101}}) {
        std::string b = f.valid;
        putLe16(b, 12, kl);
        f.expectRefused(b, "key length");
    }
}

TEST_P(IndexHostile, cycleInLeafSiblings_isRefused) {
    Forge f(GetParam(), 3000);
    const std::uint32_t leaf = f.firstLeaf();
    std::string b = f.valid;
    putLe32(b, leaf + 8, leaf); // right sibling: itself
    f.expectRefused(b, "sibling cycle");
    b = f.valid;
    putLe32(b, leaf + 4, leaf); // left sibling of the first leaf: itself
    f.expectRefused(b, "left sibling");
}

TEST_P(IndexHostile, childPointingBackToTheRoot_isRefused) {
    Forge f(GetParam(), 3000);
    std::string b = f.valid;
    const std::size_t at = f.childPointerAt(f.root(), 1);
    const std::uint32_t root = f.root();
    b.at(at) = static_cast<char>(root >> 24);
    b.at(at + 1) = static_cast<char>(root >> 16);
    b.at(at + 2) = static_cast<char>(root >> 8);
    b.at(at + 3) = static_cast<char>(root);
    f.expectRefused(b, "cycle through the root");
}

TEST_P(IndexHostile, nodeKeyCounts_beyondCapacity_areRefused) {
    Forge f(GetParam(), 3000);
    for (std::uint32_t node : {f.root(), f.firstLeaf()}) {
        for (std::uint16_t count : {std::uint16_t{0}, std::uint16_t{200}, std::uint16_t{0xFFFF}}) {
            std::string b = f.valid;
            putLe16(b, node + 2, count);
            f.expectRefused(b, "key count");
        }
    }
}

TEST_P(IndexHostile, unknownNodeAttributes_areRefused) {
    Forge f(GetParam(), 3000);
    std::string b = f.valid;
    putLe16(b, f.firstLeaf(), 0x0102);
    f.expectRefused(b, "attributes");
}

TEST_P(IndexHostile, keysOutOfOrder_areRefused) {
    Forge f(GetParam(), 300);
    std::string b = f.valid;
    const std::uint32_t leaf = f.firstLeaf();
    if (f.compact()) {
        b.at(leaf + 511) = '\x7F'; // the first key's last stored byte
    } else {
        b.at(leaf + 12) = '\x7F'; // first key's first byte
    }
    f.expectRefused(b, "order");
}

TEST(IndexHostileCompact, leafBitCounts_garbage_areRefused) {
    Forge f(IndexKind::Compact, 3000);
    const std::uint32_t leaf = f.firstLeaf();
    struct Bits {
        int r, d, t, e;
    };
    for (Bits bits : {Bits{0, 4, 4, 3}, Bits{40, 4, 4, 8}, Bits{16, 4, 4, 0}, Bits{16, 4, 4, 9}, Bits{16, 20, 4, 6},
                      Bits{20, 8, 8, 3}, Bits{255, 255, 255, 255}}) {
        std::string b = f.valid;
        b.at(leaf + 20) = static_cast<char>(bits.r);
        b.at(leaf + 21) = static_cast<char>(bits.d);
        b.at(leaf + 22) = static_cast<char>(bits.t);
        b.at(leaf + 23) = static_cast<char>(bits.e);
        f.expectRefused(b, "bit counts");
    }
}

TEST(IndexHostileCompact, dupPlusTrailBeyondTheKeyLength_isRefused) {
    Forge f(IndexKind::Compact, 300);
    const std::uint32_t leaf = f.firstLeaf();
    std::string b = f.valid;
    const int r = static_cast<unsigned char>(b.at(leaf + 20));
    const int d = static_cast<unsigned char>(b.at(leaf + 21));
    const int e = static_cast<unsigned char>(b.at(leaf + 23));
    // Second entry: recno 2, dup 15, trail 15 (key length 10).
    std::uint64_t v = 2 | (std::uint64_t{15} << r) | (std::uint64_t{15} << (r + d));
    for (int i = 0; i < e; ++i) {
        b.at(leaf + 24 + static_cast<std::size_t>(e) + static_cast<std::size_t>(i)) =
            static_cast<char>((v >> (8 * i)) & 0xFF);
    }
    f.expectRefused(b, "dup + trail");
}

TEST(IndexHostileCompact, firstEntryWithDuplicateBytes_isRefused) {
    Forge f(IndexKind::Compact, 300);
    const std::uint32_t leaf = f.firstLeaf();
    std::string b = f.valid;
    const int r = static_cast<unsigned char>(b.at(leaf + 20));
    const int e = static_cast<unsigned char>(b.at(leaf + 23));
    const std::uint64_t v = 1 | (std::uint64_t{3} << r);
    for (int i = 0; i < e; ++i) {
        b.at(leaf + 24 + static_cast<std::size_t>(i)) = static_cast<char>((v >> (8 * i)) & 0xFF);
    }
    f.expectRefused(b, "first entry dup");
}

TEST(IndexHostileCompact, compoundFlag_isRefused) {
    Forge f(IndexKind::Compact, 30);
    std::string b = f.valid;
    b.at(14) = static_cast<char>(b.at(14) | 0x40);
    f.expectRefused(b, "compound");
}

TEST(IndexHostileExpression, unsupportedExpressionInTheFile_namesExpressionAndFile) {
    Forge f(IndexKind::NonCompact, 30);
    std::string b = f.valid;
    const std::string expr = "IIF(OK,NAME,CITY)";
    b.replace(16, expr.size() + 1, expr + '\0');
    const std::string msg = f.openBytes(b);
    EXPECT_NE(msg.find("Unsupported key expression \"IIF(OK,NAME,CITY)\""), std::string::npos) << msg;
    EXPECT_NE(msg.find(f.file.string()), std::string::npos) << msg;
}

TEST_P(IndexHostile, randomDamage_neverCrashes) {
    Forge f(GetParam(), 2000);
    std::mt19937 rng(GetParam() == IndexKind::Compact ? 1 : 2);
    int refused = 0;
    for (int round = 0; round < 400; ++round) {
        std::string b = f.valid;
        const int flips = 1 + static_cast<int>(rng() % 8);
        for (int i = 0; i < flips; ++i) {
            // Mostly the header and node headers, where damage matters most.
            std::size_t at = rng() % b.size();
            if (rng() % 2 == 0) {
                at = (at / 512) * 512 + rng() % 24;
            }
            b[at] = static_cast<char>(rng());
        }
        if (!f.openBytes(b).empty()) {
            ++refused;
        }
    }
    EXPECT_GT(refused, 0);
}

TEST_P(IndexHostile, damagedFileFound_onRefresh_throws) {
    Forge f(GetParam(), 3000);
    auto idx = IndexFile::open(f.file, true, sampleFields(), CodePage::Windows1252);
    std::string b = f.valid;
    putLe32(b, 0, 0xFFFFFE00u);
    {
        std::fstream io(f.file, std::ios::binary | std::ios::in | std::ios::out);
        io.write(b.data(), 4);
        io.seekp(f.compact() ? 8 : 508);
        const char bump[4] = {0x7F, 0, 0, 0}; // the change counter
        io.write(bump, 4);
    }
    EXPECT_THROW(idx->refresh(), ETableError);
}

INSTANTIATE_TEST_SUITE_P(Kinds, IndexHostile, ::testing::Values(IndexKind::Compact, IndexKind::NonCompact), kindName);
