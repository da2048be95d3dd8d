// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/index_file.h"
#include "data/table_error.h"
#include "tests/support/file_bytes.h"
#include "tests/support/index_test_records.h"
#include "tests/support/temp_dir.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <numeric>
#include <random>
#include <set>

using namespace arrowsel::data;
using namespace arrowsel::test;

namespace {

// A table's records in memory.
struct Records {
    std::vector<std::string> rows;
    RecordSource source() const {
        return [this](std::uint32_t recno) { return std::string_view(rows.at(recno - 1)); };
    }
    std::uint32_t count() const { return static_cast<std::uint32_t>(rows.size()); }
};

// `n` records whose names repeat (about n/4 distinct) so that equal keys are common.
Records randomRecords(std::size_t n, unsigned seed) {
    Records r;
    std::mt19937 rng(seed);
    for (std::size_t i = 0; i < n; ++i) {
        const std::string name = "N" + std::to_string(rng() % (n / 4 + 1));
        const std::string qty = std::to_string(static_cast<int>(rng() % 20000) - 10000);
        r.rows.push_back(makeRecord(name, qty));
    }
    return r;
}

std::vector<IndexEntry> entriesOf(const IndexFile& idx) {
    std::vector<IndexEntry> out;
    for (std::size_t i = 0; i < idx.size(); ++i) {
        out.push_back(idx.at(i));
    }
    return out;
}

bool sameEntries(const std::vector<IndexEntry>& a, const std::vector<IndexEntry>& b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(),
                      [](const IndexEntry& x, const IndexEntry& y) { return x.key == y.key && x.recno == y.recno; });
}

// Expected order: a sort of (key, recno) pairs of its own.
std::vector<IndexEntry> expectedOrder(const KeyExpression& expr, const Records& recs) {
    std::vector<IndexEntry> out;
    for (std::uint32_t r = 1; r <= recs.count(); ++r) {
        out.push_back(IndexEntry{expr.evaluate(recs.rows[r - 1]), r});
    }
    std::sort(out.begin(), out.end(), [](const IndexEntry& a, const IndexEntry& b) {
        return a.key != b.key ? a.key < b.key : a.recno < b.recno;
    });
    return out;
}

template <IndexKind K> struct KindTag { static constexpr IndexKind kind = K; };

template <typename Tag> class IndexFileTest : public ::testing::Test {
protected:
    static constexpr IndexKind kKind = Tag::kind;
    TempDir dir;
    std::filesystem::path file = dir / "t.idx";

    std::unique_ptr<IndexFile> create(std::string_view expr, const Records& recs) {
        return IndexFile::create(file, kKind, expr, sampleFields(), CodePage::Windows1252, recs.count(), recs.source());
    }
    std::unique_ptr<IndexFile> reopen(bool writable = true) {
        return IndexFile::open(file, writable, sampleFields(), CodePage::Windows1252);
    }
    // True when the root node is an interior node (the tree has several levels).
    bool rootIsInterior() const {
        const std::string b = readFile(file);
        const std::uint32_t root = le32(b, 0);
        return (static_cast<unsigned char>(b.at(root)) & 2) == 0;
    }
};

using Kinds = ::testing::Types<KindTag<IndexKind::Compact>, KindTag<IndexKind::NonCompact>>;

class KindNames {
public:
    template <typename T> static std::string GetName(int) {
        return T::kind == IndexKind::Compact ? "Compact" : "NonCompact";
    }
};

TYPED_TEST_SUITE(IndexFileTest, Kinds, KindNames);

} // namespace

TYPED_TEST(IndexFileTest, createAndReopen_manyLevels_keepsEveryKeyInOrder) {
    const Records recs = randomRecords(6000, 1);
    auto idx = this->create("NAME", recs);
    EXPECT_EQ(idx->kind(), this->kKind);
    EXPECT_EQ(idx->expression().text(), "NAME");
    EXPECT_FALSE(idx->unique());
    const auto expected = expectedOrder(idx->expression(), recs);
    EXPECT_TRUE(sameEntries(entriesOf(*idx), expected));
    EXPECT_TRUE(this->rootIsInterior());

    auto again = this->reopen(false);
    EXPECT_EQ(again->kind(), this->kKind);
    EXPECT_EQ(again->expression().keyLength(), 10);
    EXPECT_TRUE(sameEntries(entriesOf(*again), expected));
}

TYPED_TEST(IndexFileTest, equalKeys_sortByRecordNumber) {
    Records recs;
    for (const char* n : {"B", "A", "B", "A", "C", "B"}) {
        recs.rows.push_back(makeRecord(n));
    }
    auto idx = this->create("NAME", recs);
    std::vector<std::uint32_t> order;
    for (std::size_t i = 0; i < idx->size(); ++i) {
        order.push_back(idx->at(i).recno);
    }
    EXPECT_EQ(order, (std::vector<std::uint32_t>{2, 4, 1, 3, 6, 5}));
}

TYPED_TEST(IndexFileTest, findPrefix_firstOfSeveralMatches_noMatch_andEmptyIndex) {
    Records recs;
    for (const char* n : {"Smithers", "Smith", "Jones", "Smith", "Sm", "Zed", "a"}) {
        recs.rows.push_back(makeRecord(n));
    }
    auto idx = this->create("NAME", recs);
    std::size_t pos = idx->findPrefix("Smith");
    ASSERT_NE(pos, IndexFile::npos);
    EXPECT_EQ(idx->at(pos).recno, 2u); // "Smith" rec 2 sorts before rec 4 and "Smithers"
    EXPECT_EQ(idx->at(idx->findPrefix("Smithe")).recno, 1u);
    EXPECT_EQ(idx->at(idx->findPrefix("S")).recno, 5u);
    EXPECT_EQ(idx->findPrefix("Smx"), IndexFile::npos);
    EXPECT_EQ(idx->findPrefix("b"), IndexFile::npos);
    EXPECT_EQ(idx->findPrefix("smith"), IndexFile::npos); // bytes, not letters
    EXPECT_EQ(idx->at(idx->findPrefix("a")).recno, 7u);   // 'Z' < 'a'
    EXPECT_EQ(idx->findPrefix(""), 0u);
    EXPECT_EQ(idx->at(idx->findPrefix("Smith     ")).recno, 2u);
    EXPECT_EQ(idx->at(idx->findPrefix("Smith        ")).recno, 2u); // longer than the key: blanks only
    EXPECT_EQ(idx->findPrefix("Smith      x"), IndexFile::npos);

    Records none;
    auto empty = IndexFile::create(this->dir / "e.idx", this->kKind, "NAME", sampleFields(), CodePage::Windows1252, 0,
                                   none.source());
    EXPECT_EQ(empty->size(), 0u);
    EXPECT_EQ(empty->findPrefix("S"), IndexFile::npos);
    EXPECT_EQ(empty->findPrefix(""), IndexFile::npos);
    auto reopened = IndexFile::open(this->dir / "e.idx", false, sampleFields(), CodePage::Windows1252);
    EXPECT_EQ(reopened->size(), 0u);
}

TYPED_TEST(IndexFileTest, findPrefix_onManyKeys_findsTheFirstOfEachRun) {
    const Records recs = randomRecords(5000, 2);
    auto idx = this->create("NAME", recs);
    const auto all = entriesOf(*idx);
    for (std::size_t i = 0; i < all.size(); i += 37) {
        const std::size_t pos = idx->findPrefix(all[i].key);
        ASSERT_NE(pos, IndexFile::npos);
        EXPECT_EQ(idx->at(pos).key, all[i].key);
        EXPECT_TRUE(pos == 0 || idx->at(pos - 1).key != all[i].key);
    }
}

TYPED_TEST(IndexFileTest, find_exactEntry) {
    const Records recs = randomRecords(500, 3);
    auto idx = this->create("NAME", recs);
    const std::string key = idx->expression().evaluate(recs.rows[41]);
    const std::size_t pos = idx->find(key, 42);
    ASSERT_NE(pos, IndexFile::npos);
    EXPECT_EQ(idx->at(pos).recno, 42u);
    EXPECT_EQ(idx->find(key, 9999), IndexFile::npos);
    EXPECT_EQ(idx->find("nothing", 42), IndexFile::npos);
}

TYPED_TEST(IndexFileTest, numericKeys_sortByValue) {
    Records recs;
    for (const char* q : {"12.5", "-3", "0", "1", "-100.25", "", "99999.99", "-0.01"}) {
        recs.rows.push_back(makeRecord("x", q));
    }
    auto idx = this->create("QTY", recs);
    EXPECT_EQ(idx->expression().type(), KeyType::Numeric);
    std::vector<std::uint32_t> order;
    for (std::size_t i = 0; i < idx->size(); ++i) {
        order.push_back(idx->at(i).recno);
    }
    EXPECT_EQ(order, (std::vector<std::uint32_t>{5, 2, 8, 3, 6, 4, 1, 7}));
    EXPECT_EQ(idx->at(idx->findPrefix(KeyExpression::encodeNumber(12.5))).recno, 1u);
    EXPECT_EQ(idx->findPrefix(KeyExpression::encodeNumber(12.25)), IndexFile::npos);
    auto again = this->reopen();
    EXPECT_TRUE(sameEntries(entriesOf(*again), entriesOf(*idx)));
}

TYPED_TEST(IndexFileTest, insertsInRandomOrder_matchAFreshRebuild_andSurviveReopen) {
    const Records recs = randomRecords(4000, 4);
    Records none;
    auto idx = IndexFile::create(this->file, this->kKind, "NAME+STR(QTY,6)", sampleFields(), CodePage::Windows1252, 0,
                                 none.source());
    std::vector<std::uint32_t> order(recs.count());
    std::iota(order.begin(), order.end(), 1u);
    std::shuffle(order.begin(), order.end(), std::mt19937(9));
    for (std::uint32_t r : order) {
        idx->insert(recs.rows[r - 1], r);
    }
    idx->flush();
    const auto expected = expectedOrder(idx->expression(), recs);
    EXPECT_TRUE(sameEntries(entriesOf(*idx), expected));
    EXPECT_TRUE(this->rootIsInterior());

    auto again = this->reopen();
    EXPECT_TRUE(sameEntries(entriesOf(*again), expected));

    auto fresh = IndexFile::create(this->dir / "fresh.idx", this->kKind, "NAME+STR(QTY,6)", sampleFields(),
                                   CodePage::Windows1252, recs.count(), recs.source());
    EXPECT_TRUE(sameEntries(entriesOf(*fresh), entriesOf(*again)));
}

TYPED_TEST(IndexFileTest, insertSameEntryTwice_keepsOne) {
    Records recs;
    recs.rows.push_back(makeRecord("A"));
    auto idx = this->create("NAME", recs);
    idx->insert(recs.rows[0], 1);
    EXPECT_EQ(idx->size(), 1u);
}

TYPED_TEST(IndexFileTest, remove_someKeys_thenAll_thenInsertAgain) {
    const Records recs = randomRecords(3000, 5);
    auto idx = this->create("NAME", recs);
    std::vector<IndexEntry> expected = expectedOrder(idx->expression(), recs);
    std::mt19937 rng(11);
    std::vector<std::uint32_t> order(recs.count());
    std::iota(order.begin(), order.end(), 1u);
    std::shuffle(order.begin(), order.end(), rng);
    std::set<std::uint32_t> gone;
    for (std::size_t i = 0; i < 2000; ++i) {
        const std::uint32_t r = order[i];
        idx->remove(idx->expression().evaluate(recs.rows[r - 1]), r);
        gone.insert(r);
    }
    idx->remove("no such key", 1); // nothing to remove: no change
    std::erase_if(expected, [&](const IndexEntry& e) { return gone.count(e.recno) != 0; });
    EXPECT_TRUE(sameEntries(entriesOf(*idx), expected));
    EXPECT_TRUE(sameEntries(entriesOf(*this->reopen()), expected));

    for (std::size_t i = 2000; i < order.size(); ++i) {
        const std::uint32_t r = order[i];
        idx->remove(idx->expression().evaluate(recs.rows[r - 1]), r);
    }
    EXPECT_EQ(idx->size(), 0u);
    EXPECT_EQ(this->reopen()->size(), 0u);
    const auto sizeWhenEmpty = std::filesystem::file_size(this->file);

    Records part;
    for (std::uint32_t r = 1; r <= 1000; ++r) {
        part.rows.push_back(recs.rows[r - 1]);
    }
    std::vector<std::uint32_t> partOrder(1000);
    std::iota(partOrder.begin(), partOrder.end(), 1u);
    std::shuffle(partOrder.begin(), partOrder.end(), rng);
    for (std::uint32_t r : partOrder) {
        idx->insert(part.rows[r - 1], r);
    }
    EXPECT_TRUE(sameEntries(entriesOf(*this->reopen()), expectedOrder(idx->expression(), part)));
    // The blocks freed by the removals are used again rather than added at the end.
    EXPECT_EQ(std::filesystem::file_size(this->file), sizeWhenEmpty);
}

TYPED_TEST(IndexFileTest, refresh_picksUpKeysAnotherWriterAdded) {
    Records recs = randomRecords(2000, 6);
    auto a = this->create("NAME", recs);
    auto b = this->reopen();
    for (std::uint32_t i = 0; i < 300; ++i) {
        recs.rows.push_back(makeRecord("NEW" + std::to_string(i)));
        b->insert(recs.rows.back(), recs.count());
    }
    b->flush();
    EXPECT_EQ(a->size(), 2000u);
    a->refresh();
    EXPECT_EQ(a->size(), 2300u);
    EXPECT_NE(a->findPrefix("NEW299"), IndexFile::npos);

    // And the other way round, with a's own insert starting from b's state.
    recs.rows.push_back(makeRecord("AAA"));
    a->insert(recs.rows.back(), recs.count());
    b->refresh();
    EXPECT_EQ(b->size(), 2301u);
    EXPECT_TRUE(sameEntries(entriesOf(*a), entriesOf(*b)));
    EXPECT_TRUE(sameEntries(entriesOf(*b), expectedOrder(b->expression(), recs)));

    // Only a changed counter tells a same-sized rewrite apart: a remove followed by an insert.
    const std::string keyA = a->expression().evaluate(recs.rows[0]);
    a->remove(keyA, 1);
    a->insert(recs.rows[0], 1);
    b->refresh();
    EXPECT_TRUE(sameEntries(entriesOf(*a), entriesOf(*b)));
}

TYPED_TEST(IndexFileTest, refresh_withoutChanges_keepsEntries) {
    const Records recs = randomRecords(100, 7);
    auto a = this->create("NAME", recs);
    const IndexEntry* first = &a->at(0);
    a->refresh();
    EXPECT_EQ(first, &a->at(0)); // not reloaded
}

TYPED_TEST(IndexFileTest, rebuild_keepsTheKind_andReflectsNewRecords) {
    Records recs = randomRecords(1000, 8);
    auto idx = this->create("UPPER(NAME)", recs);
    recs.rows[0] = makeRecord("aaaa first");
    recs.rows.push_back(makeRecord("zzz"));
    idx->rebuild(recs.count(), recs.source());
    EXPECT_EQ(idx->kind(), this->kKind);
    EXPECT_TRUE(sameEntries(entriesOf(*idx), expectedOrder(idx->expression(), recs)));
    auto again = this->reopen();
    EXPECT_EQ(again->kind(), this->kKind);
    EXPECT_EQ(again->at(0).recno, 1u);
    EXPECT_EQ(again->at(0).key, "AAAA FIRST");
    const std::string raw = readFile(this->file);
    EXPECT_EQ((static_cast<unsigned char>(raw[14]) & 0x20) != 0, this->kKind == IndexKind::Compact);
}

TYPED_TEST(IndexFileTest, highRecordNumbers_andLongKeys_roundTrip) {
    std::vector<FieldDef> fields{{"TEXT", FieldType::Character, 100, 0, 1}};
    Records none;
    auto idx = IndexFile::create(this->file, this->kKind, "TEXT", fields, CodePage::Windows1252, 0, none.source());
    EXPECT_EQ(idx->expression().keyLength(), 100);
    std::vector<IndexEntry> expected;
    std::mt19937 rng(12);
    for (std::uint32_t i = 0; i < 400; ++i) {
        std::string rec = " " + std::string(100, ' ');
        const std::string text = std::string(rng() % 100, 'x') + std::to_string(rng() % 50);
        rec.replace(1, std::min<std::size_t>(100, text.size()), text.substr(0, 100));
        const std::uint32_t recno = i == 0 ? 0xFFFFFFFFu : (i == 1 ? 65536u : static_cast<std::uint32_t>(rng()) | 1u);
        idx->insert(rec, recno);
        expected.push_back(IndexEntry{rec.substr(1), recno});
    }
    std::sort(expected.begin(), expected.end(), [](const IndexEntry& a, const IndexEntry& b) {
        return a.key != b.key ? a.key < b.key : a.recno < b.recno;
    });
    expected.erase(
        std::unique(expected.begin(), expected.end(),
                    [](const IndexEntry& a, const IndexEntry& b) { return a.key == b.key && a.recno == b.recno; }),
        expected.end());
    auto again = IndexFile::open(this->file, false, fields, CodePage::Windows1252);
    EXPECT_TRUE(sameEntries(entriesOf(*again), expected));
}

TYPED_TEST(IndexFileTest, readOnly_refusesChanges) {
    const Records recs = randomRecords(10, 9);
    this->create("NAME", recs);
    auto ro = this->reopen(false);
    EXPECT_THROW(ro->insert(recs.rows[0], 11), ETableError);
    EXPECT_THROW(ro->remove(ro->at(0).key, ro->at(0).recno), ETableError);
    EXPECT_THROW(ro->rebuild(recs.count(), recs.source()), ETableError);
}

TYPED_TEST(IndexFileTest, dateKeys_roundTrip) {
    Records recs;
    for (const char* d : {"20240101", "", "19991231", "20000101"}) {
        recs.rows.push_back(makeRecord("x", "", d));
    }
    auto idx = this->create("BORN", recs);
    EXPECT_EQ(idx->expression().type(), KeyType::Date);
    std::vector<std::uint32_t> order;
    for (const IndexEntry& e : entriesOf(*this->reopen())) {
        order.push_back(e.recno);
    }
    EXPECT_EQ(order, (std::vector<std::uint32_t>{2, 3, 4, 1}));
    EXPECT_EQ(idx->at(idx->findPrefix(KeyExpression::encodeDate(2000, 1, 1))).recno, 4u);
}

TEST(IndexFile, missingFile_givesTheSpecifiedText) {
    TempDir dir;
    try {
        IndexFile::open(dir / "none.idx", false, sampleFields(), CodePage::Windows1252);
        FAIL();
    } catch (const ETableError& e) {
        EXPECT_EQ(std::string(e.what()), "Index file does not exist.\rFile: " + (dir / "none.idx").string());
    }
}

TEST(IndexFile, create_refusesAnUnsupportedExpression_withoutTouchingTheFile) {
    TempDir dir;
    Records none;
    EXPECT_THROW(IndexFile::create(dir / "x.idx", IndexKind::Compact, "IIF(OK,1,2)", sampleFields(),
                                   CodePage::Windows1252, 0, none.source()),
                 ETableError);
    EXPECT_FALSE(std::filesystem::exists(dir / "x.idx"));
}

namespace {

// A compact index of one root leaf packed the way another writer may pack it: duplicate counts
// that reach into the previous key's trailing blanks, and the narrowest bit fields.
// Keys "K00", "K00      C", "K01", "K01      C", ... (10 bytes, blank-padded), record i+1.
std::string denseCompactFile(int pairs, std::vector<IndexEntry>& keys) {
    std::string file(1536, '\0');
    auto put16 = [&](std::size_t at, unsigned v) {
        file[at] = static_cast<char>(v & 0xFF);
        file[at + 1] = static_cast<char>((v >> 8) & 0xFF);
    };
    auto put32 = [&](std::size_t at, std::uint32_t v) {
        for (std::size_t i = 0; i < 4; ++i) {
            file[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
        }
    };
    put32(0, 1024);        // root
    put32(4, 0xFFFFFFFFu); // no free list
    put16(12, 10);
    file[14] = 0x20;
    put16(504, 6);
    put16(506, 1);
    put16(510, 5);
    file.replace(512, 4, "NAME");
    const std::size_t leaf = 1024;
    put16(leaf, 3);
    put16(leaf + 2, static_cast<unsigned>(pairs * 2));
    put32(leaf + 4, 0xFFFFFFFFu);
    put32(leaf + 8, 0xFFFFFFFFu);
    put32(leaf + 14, 0xFF);
    file[leaf + 18] = 0x0F;
    file[leaf + 19] = 0x0F;
    file[leaf + 20] = 8; // R
    file[leaf + 21] = 4; // D
    file[leaf + 22] = 4; // T
    file[leaf + 23] = 2; // E
    std::size_t keyPos = leaf + 512;
    std::string prev;
    for (int i = 0; i < pairs * 2; ++i) {
        char digits[16];
        std::snprintf(digits, sizeof digits, "%02d", i / 2);
        std::string key = std::string("K") + digits + (i % 2 ? "      C" : "       ");
        std::size_t dup = 0;
        while (i > 0 && dup < 10 && prev[dup] == key[dup]) {
            ++dup;
        }
        std::size_t trail = 0;
        while (trail < 10 && key[9 - trail] == ' ') {
            ++trail;
        }
        const std::size_t stored = 10 - dup - trail;
        keyPos -= stored;
        file.replace(keyPos, stored, key.substr(dup, stored));
        const unsigned v =
            static_cast<unsigned>(i + 1) | static_cast<unsigned>(dup << 8) | static_cast<unsigned>(trail << 12);
        put16(leaf + 24 + static_cast<std::size_t>(i) * 2, v);
        keys.push_back(IndexEntry{key, static_cast<std::uint32_t>(i + 1)});
        prev = key;
    }
    put16(leaf + 12, static_cast<unsigned>(keyPos - (leaf + 24 + static_cast<std::size_t>(pairs) * 4)));
    return file;
}

} // namespace

TEST(IndexFileForeign, denserCompactLeaf_readsAndSplitsWhenRewritten) {
    TempDir dir;
    std::vector<IndexEntry> expected;
    const std::string bytes = denseCompactFile(60, expected);
    {
        std::ofstream out(dir / "d.idx", std::ios::binary);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    auto idx = IndexFile::open(dir / "d.idx", true, sampleFields(), CodePage::Windows1252);
    ASSERT_TRUE(sameEntries(entriesOf(*idx), expected));

    // Removing one key rewrites the leaf, which no longer fits this engine's packing.
    idx->remove(expected[5].key, expected[5].recno);
    expected.erase(expected.begin() + 5);
    idx->insert(makeRecord("K00      A"), 500);
    expected.insert(expected.begin() + 1, IndexEntry{"K00      A", 500});
    EXPECT_TRUE(sameEntries(entriesOf(*idx), expected));
    auto again = IndexFile::open(dir / "d.idx", false, sampleFields(), CodePage::Windows1252);
    EXPECT_TRUE(sameEntries(entriesOf(*again), expected));
}
