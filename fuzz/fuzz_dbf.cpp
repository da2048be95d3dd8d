// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer harness for the .dbf parser: the input is a table file, written beside a fixed, valid
// memo file (.fpt and .dbt, so that memo pointers in the input reach real memos); the table is
// opened read-only and then shared (which may repair its record count) and read whole.

#include "fuzz/table_fuzz.h"

#include <cstring>
#include <string>

using namespace arrowsel;

namespace {

std::string be32(std::uint32_t v) {
    return {static_cast<char>(v >> 24), static_cast<char>(v >> 16), static_cast<char>(v >> 8), static_cast<char>(v)};
}

void writeMemoFiles() {
    // .fpt: 64-byte blocks, memos at blocks 8 ("memo text") and 9 (zero length); next free 10.
    std::string fpt(512, '\0');
    fpt.replace(0, 4, be32(10));
    fpt[7] = 64;
    std::string memo = be32(1) + be32(9) + "memo text";
    memo.resize(64, '\0');
    fpt += memo;
    std::string empty = be32(1) + be32(0);
    empty.resize(64, '\0');
    fpt += empty;
    fuzz::writeBytes(fuzz::workFolder() / "t.fpt", fpt.data(), fpt.size());
    // .dbt: 512-byte blocks, one memo at block 1.
    std::string dbt(512, '\0');
    dbt[0] = 2;
    dbt += "dbt memo\x1A\x1A";
    dbt.resize(1024, '\0');
    fuzz::writeBytes(fuzz::workFolder() / "t.dbt", dbt.data(), dbt.size());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::filesystem::path table = fuzz::workFolder() / "t.dbf";
    writeMemoFiles();
    fuzz::writeBytes(table, data, size);
    fuzz::readEverything(table, data::TDbfTable::OpenMode::ReadOnly);
    fuzz::readEverything(table, data::TDbfTable::OpenMode::Shared, false);
    return 0;
}
