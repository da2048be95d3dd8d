// SPDX-License-Identifier: GPL-3.0-or-later
// The memo file on its own: FoxPro .fpt of any block size, dBASE III (and IV) .dbt.

#include "data/memo_file.h"
#include "data/table_error.h"
#include "tests/support/dbf_forge.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

using namespace arrowsel::data;
using namespace arrowsel::test;

TEST(MemoFile, createdFpt_hasABigEndianHeaderAndTakesMemosFromBlock8) {
    TempDir dir;
    MemoFile::createFpt(dir / "m.fpt");
    MemoFile m(dir / "m.fpt", MemoFile::Kind::Fpt, true);
    EXPECT_EQ(m.blockSize(), 64u);
    EXPECT_EQ(m.append("hello"), 8u);
    EXPECT_EQ(m.append(std::string(120, 'x')), 9u); // 128 bytes: blocks 9 and 10
    EXPECT_EQ(m.append(""), 11u);                   // a zero-length memo still takes a block
    EXPECT_EQ(m.read(8), "hello");
    EXPECT_EQ(m.read(9), std::string(120, 'x'));
    EXPECT_EQ(m.read(11), "");
    EXPECT_EQ(m.read(0), "");
    const std::string bytes = readFile(dir / "m.fpt");
    EXPECT_EQ(bytes.size(), 12u * 64);
    EXPECT_EQ(bytes.substr(0, 4), be32(12));
    EXPECT_EQ(bytes.substr(8 * 64, 13), be32(1) + be32(5) + "hello");
}

TEST(MemoFile, blockSizesOneAnd512_areReadFromTheHeader) {
    for (const std::uint32_t size : {1u, 512u}) {
        SCOPED_TRACE(size);
        TempDir dir;
        FptForge forge(size);
        const std::uint32_t a = forge.add("first");
        forge.write(dir / "m.fpt");
        MemoFile m(dir / "m.fpt", MemoFile::Kind::Fpt, true);
        EXPECT_EQ(m.blockSize(), size);
        EXPECT_EQ(a, size == 1 ? 512u : 1u);
        EXPECT_EQ(m.read(a), "first");
        const std::uint32_t b = m.append("second");
        EXPECT_EQ(m.read(b), "second");
        EXPECT_EQ(m.read(a), "first");
        EXPECT_EQ(static_cast<std::uint64_t>(b) * size, size == 1 ? 512u + 13 : 1024u);
    }
}

TEST(MemoFile, nextFreePointingFarPastTheEnd_isNotFollowed) {
    TempDir dir;
    FptForge forge(64);
    forge.add("a");
    std::string bytes = forge.bytes();
    bytes.replace(0, 4, be32(0x00FFFFFF));
    writeFile(dir / "m.fpt", bytes);
    MemoFile m(dir / "m.fpt", MemoFile::Kind::Fpt, true);
    EXPECT_EQ(m.append("b"), 9u);
    EXPECT_EQ(readFile(dir / "m.fpt").size(), 10u * 64);
}

TEST(MemoFile, dbt_readsToTheEndMarkAndAppendsWithIt) {
    TempDir dir;
    DbtForge forge;
    const std::uint32_t a = forge.add("dBASE III text");
    std::string bytes = forge.bytes();
    // A dBASE IV block: FF FF 08 00, then the length including these 8 bytes.
    std::string iv = std::string("\xFF\xFF\x08\x00", 4) + le32(8 + 4) + "four";
    iv.resize(512, '\0');
    bytes += iv;
    bytes.replace(0, 4, le32(3));
    writeFile(dir / "m.dbt", bytes);
    MemoFile m(dir / "m.dbt", MemoFile::Kind::Dbt, true);
    EXPECT_EQ(m.read(a), "dBASE III text");
    EXPECT_EQ(m.read(2), "four");
    EXPECT_EQ(m.append("new"), 3u);
    EXPECT_EQ(m.read(3), "new");
    EXPECT_THROW(m.append(std::string("bad\x1A", 4)), ETableError);
}

TEST(MemoFile, readOnlyFile_refusesToAppend) {
    TempDir dir;
    MemoFile::createFpt(dir / "m.fpt");
    MemoFile m(dir / "m.fpt", MemoFile::Kind::Fpt, false);
    EXPECT_THROW(m.append("x"), ETableError);
    EXPECT_THROW(MemoFile(dir / "none.fpt", MemoFile::Kind::Fpt, false), ETableError);
}

// A memo read takes what its caller asks for and says when there was more: a dBASE III memo whose
// end mark is missing is not read on to the end of a file of a gibibyte, and a FoxPro memo that
// states a length past the limit is read only that far.
TEST(MemoFile, readsStopAtTheLimit_andSayTheMemoWasCut) {
    TempDir dir;
    DbtForge dbt;
    const std::uint32_t a = dbt.add("short");
    std::string bytes = dbt.bytes();
    bytes += std::string(512, 'x'); // block 2: text with no end mark, then a sparse gibibyte of NULs
    writeFile(dir / "m.dbt", bytes);
    std::filesystem::resize_file(dir / "m.dbt", std::uint64_t{1} << 30);
    MemoFile m(dir / "m.dbt", MemoFile::Kind::Dbt, false);
    bool cut = true;
    EXPECT_EQ(m.read(a, 100, &cut), "short");
    EXPECT_FALSE(cut);
    const std::string head = m.read(2, MemoFile::kReadLimit, &cut);
    EXPECT_TRUE(cut);
    ASSERT_EQ(head.size(), MemoFile::kReadLimit);
    EXPECT_EQ(head.substr(0, 512), std::string(512, 'x'));
    EXPECT_EQ(m.read(2, 512, &cut), std::string(512, 'x'));
    EXPECT_TRUE(cut);

    FptForge fpt(64);
    const std::uint32_t b = fpt.add(std::string(3000, 'y'));
    fpt.write(dir / "m.fpt");
    MemoFile f(dir / "m.fpt", MemoFile::Kind::Fpt, false);
    EXPECT_EQ(f.read(b, 1000, &cut), std::string(1000, 'y'));
    EXPECT_TRUE(cut);
    EXPECT_EQ(f.read(b, 3000, &cut).size(), 3000u);
    EXPECT_FALSE(cut);
}
