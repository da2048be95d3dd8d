// SPDX-License-Identifier: GPL-3.0-or-later
// A reader following another handle's changes to an index: what it reads, and that it ends with
// exactly the keys a whole read gives, also when another program wrote the file in between.

#include "data/index_file.h"
#include "tests/support/file_bytes.h"
#include "tests/support/index_test_records.h"
#include "tests/support/io_faults.h"
#include "tests/support/temp_dir.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace arrowsel::data;
using arrowsel::test::makeRecord;
using arrowsel::test::ReadCounter;
using arrowsel::test::sampleFields;
using arrowsel::test::TempDir;

namespace {

std::vector<std::string> rowsNamed(const std::string& stem, int n) {
    std::vector<std::string> rows;
    for (int i = 0; i < n; ++i) {
        rows.push_back(makeRecord(stem + std::to_string((i * 7919) % n)));
    }
    return rows;
}

template <IndexKind K> struct KindTag { static constexpr IndexKind kind = K; };

template <typename Tag> class IndexFollowTest : public ::testing::Test {
protected:
    void SetUp() override {
        rows = rowsNamed("C", 3000);
        writer = IndexFile::create(file, Tag::kind, "NAME", sampleFields(), CodePage::Windows1252, count(),
                                   [this](std::uint32_t r) { return std::string_view(rows.at(r - 1)); });
        reader = IndexFile::open(file, false, sampleFields(), CodePage::Windows1252, &readerIo);
    }

    std::uint32_t count() const { return static_cast<std::uint32_t>(rows.size()); }

    void append(const std::string& name) {
        rows.push_back(makeRecord(name));
        writer->insert(rows.back(), count());
    }

    // The reader's keys are exactly those of a whole read of the file.
    void expectReaderCurrent() {
        const auto whole = IndexFile::open(file, false, sampleFields(), CodePage::Windows1252);
        ASSERT_EQ(reader->size(), whole->size());
        for (std::size_t i = 0; i < whole->size(); ++i) {
            ASSERT_EQ(reader->at(i).key, whole->at(i).key) << "at " << i;
            ASSERT_EQ(reader->at(i).recno, whole->at(i).recno) << "at " << i;
        }
    }

    int readsToFollow() {
        readerIo.reset();
        reader->refreshForReading(count());
        return readerIo.reads;
    }

    ReadCounter readerIo; // the reader's
    TempDir dir;
    std::filesystem::path file = dir / "f.idx";
    std::vector<std::string> rows;
    std::unique_ptr<IndexFile> writer;
    std::unique_ptr<IndexFile> reader;
};

using Kinds = ::testing::Types<KindTag<IndexKind::Compact>, KindTag<IndexKind::NonCompact>>;
TYPED_TEST_SUITE(IndexFollowTest, Kinds);

} // namespace

TYPED_TEST(IndexFollowTest, readsOnlyTheBlocksAnAppendChanged) {
    // A file written whole names no time, so the group after it lists nothing before itself.
    this->append("C0500x");
    this->reader->refreshForReading(this->count());

    // A tree of well over a hundred blocks; one append rewrites a leaf or two (a split: four).
    this->append("C1500x");
    const int reads = this->readsToFollow();
    EXPECT_GE(reads, 2);
    EXPECT_LE(reads, 8);
    this->expectReaderCurrent();

    // Nothing changed: the header alone.
    EXPECT_EQ(this->readsToFollow(), 1);
}

TYPED_TEST(IndexFollowTest, endsWithTheWholeFileThroughSplitsRemovalsAndLongGaps) {
    // Appends at the front, the back and between, with leaves, interior nodes and the root
    // splitting, the reader following every few groups.
    for (int i = 0; i < 240; ++i) {
        this->append((i % 3 == 0 ? "A" : i % 3 == 1 ? "Z" : "C15") + std::to_string(i));
        if (i % 7 == 0) {
            this->reader->refreshForReading(this->count());
            this->expectReaderCurrent();
        }
    }
    // Keys moved to the front (blank names), emptying leaves; then a gap longer than the
    // header's list reaches.
    for (std::uint32_t r = 3001; r <= 3060; ++r) {
        this->writer->remove(this->writer->expression().evaluate(this->rows[r - 1]), r);
        this->rows[r - 1] = makeRecord("");
        this->writer->insert(this->rows[r - 1], r);
        if (r % 3 == 0) {
            this->reader->refreshForReading(this->count());
            this->expectReaderCurrent();
        }
    }
    for (int i = 0; i < 130; ++i) {
        this->append("G" + std::to_string(i));
    }
    this->reader->refreshForReading(this->count());
    this->expectReaderCurrent();
}

TYPED_TEST(IndexFollowTest, aRecordCountTheKeysDoNotMatchMeansAWholeRead) {
    // The table says one more record than our writer indexed: another program appended and
    // indexed it. What the list names cannot give that key; a whole read does.
    this->append("C0001x");
    this->rows.push_back(makeRecord("extra"));
    const int reads = this->readsToFollow();
    EXPECT_GT(reads, 20);
    EXPECT_EQ(this->reader->size(), this->writer->size());
}

TYPED_TEST(IndexFollowTest, anotherProgramsWriteIsNeverHiddenByOurs) {
    const std::string solo = makeRecord("SOLO");
    this->rows[4] = solo;
    this->writer->rebuild(this->count(), [this](std::uint32_t r) { return std::string_view(this->rows.at(r - 1)); });
    this->reader->refreshForReading(this->count());
    this->expectReaderCurrent();

    // Another program moves SOLO's key to another record: it rewrites the leaf (here with our
    // writer's encoding) and leaves the header's counter and list of changed blocks as they were,
    // knowing nothing of them.
    const auto otherProgram = [&](std::uint32_t from, std::uint32_t to) {
        const std::string before = arrowsel::test::readFile(this->file);
        {
            auto other = IndexFile::open(this->file, true, sampleFields(), CodePage::Windows1252);
            const std::string key = other->expression().evaluate(solo);
            other->remove(key, from);
            other->insert(solo, to);
        }
        const std::size_t from1 = TypeParam::kind == IndexKind::Compact ? 8 : 456;
        const std::size_t to1 = TypeParam::kind == IndexKind::Compact ? 502 : 512;
        std::fstream io(this->file, std::ios::in | std::ios::out | std::ios::binary);
        io.seekp(static_cast<std::streamoff>(from1));
        io.write(before.data() + from1, static_cast<std::streamsize>(to1 - from1));
    };

    // Written before ours: the list our writer leaves must not reach back past it.
    otherProgram(5, 7);
    this->append("C2000x");
    this->reader->refreshForReading(this->count());
    this->expectReaderCurrent();
    EXPECT_EQ(this->reader->at(this->reader->findPrefix("SOLO")).recno, 7u);

    // Written after ours: the file's time is no longer the one the list names.
    this->append("C2001x");
    otherProgram(7, 5);
    this->reader->refreshForReading(this->count());
    this->expectReaderCurrent();
    EXPECT_EQ(this->reader->at(this->reader->findPrefix("SOLO")).recno, 5u);
}
