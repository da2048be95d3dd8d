// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer harness for .idx files: the input is written to a temporary file and opened as an
// index over a fixed field list; every key is walked and a few seeks are tried. A file that opens
// is then changed (one key inserted, one removed) through a second, writable handle and read back,
// which must give exactly the keys expected; a reader then follows two more changes by the blocks
// they list. Damaged input may only end in ETableError.

#include "data/index_file.h"
#include "data/table_error.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

using namespace arrowsel::data;

namespace {

// The same fields as the seed corpus was written over: NAME C(10), QTY N(8,2), BORN D, OK L,
// CNT I, CITY C(8).
const std::vector<FieldDef> kFields{
    {"NAME", FieldType::Character, 10, 0, 1}, {"QTY", FieldType::Numeric, 8, 2, 11},
    {"BORN", FieldType::Date, 8, 0, 19},      {"OK", FieldType::Logical, 1, 0, 27},
    {"CNT", FieldType::Integer, 4, 0, 28},    {"CITY", FieldType::Character, 8, 0, 32},
};

const std::string& scratchPath() {
    // A memory file system where there is one: synchronous writes cost nothing there.
    static const std::filesystem::path dir = std::filesystem::is_directory("/dev/shm")
                                                 ? std::filesystem::path("/dev/shm")
                                                 : std::filesystem::temp_directory_path();
    static const std::string path = (dir / ("fuzz_idx_" + std::to_string(::getpid()) + ".idx")).string();
    // Registered once `path` is made, so that it runs while `path` still exists.
    static const bool cleanup =
        std::atexit([] {
            std::error_code ec;
            std::filesystem::remove(scratchPath(), ec);
            std::filesystem::remove(scratchPath() + ".jnl", ec); // left only by a run stopped mid-change
        }) == 0;
    (void)cleanup;
    return path;
}

void check(bool ok) {
    if (!ok) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string& path = scratchPath();
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    try {
        auto idx = IndexFile::open(path, false, kFields, CodePage::Windows1252);
        const std::size_t n = idx->size();
        const auto keyLength = static_cast<std::size_t>(idx->expression().keyLength());
        for (std::size_t i = 0; i < n; ++i) {
            check(idx->at(i).key.size() == keyLength);
        }
        (void)idx->findPrefix("");
        (void)idx->findPrefix("K1");
        (void)idx->findPrefix(std::string(200, ' '));
        if (n > 0) {
            const IndexEntry mid = idx->at(n / 2);
            const std::size_t pos = idx->findPrefix(mid.key);
            check(pos != IndexFile::npos && idx->at(pos).key == mid.key);
            check(idx->find(mid.key, mid.recno) != IndexFile::npos);
        }
        if (idx->expression().text().size() > 0 && n < 20000) {
            // Change a copy through a writable handle, then read it back.
            auto rw = IndexFile::open(path, true, kFields, CodePage::Windows1252);
            std::string record(40, ' ');
            record.replace(1, 10, "FUZZ KEY  ");
            record.replace(11, 8, "   12.50");
            record.replace(19, 8, "20240229");
            const std::string newKey = rw->expression().evaluate(record);
            const bool had = rw->find(newKey, 4242) != IndexFile::npos;
            rw->insert(record, 4242);
            std::size_t expected = n + (had ? 0 : 1);
            if (n > 0) {
                const IndexEntry first = rw->at(0);
                rw->remove(first.key, first.recno);
                --expected;
            }
            if (!rw->unique()) { // a unique index may keep the old record instead
                check(rw->size() == expected);
            }
            auto back = IndexFile::open(path, false, kFields, CodePage::Windows1252);
            check(back->size() == rw->size());
            for (std::size_t i = 0; i < back->size(); ++i) {
                check(back->at(i).key == rw->at(i).key && back->at(i).recno == rw->at(i).recno);
            }
            // A reader following two more changes by the listed blocks must end where a whole
            // read does.
            record.replace(1, 10, "FUZZ AGAIN");
            rw->insert(record, 4243);
            if (rw->size() > 1) {
                const IndexEntry last = rw->at(rw->size() - 1);
                rw->remove(last.key, last.recno);
            }
            back->refreshForReading(static_cast<std::uint32_t>(rw->size()));
            check(back->size() == rw->size());
            for (std::size_t i = 0; i < back->size(); ++i) {
                check(back->at(i).key == rw->at(i).key && back->at(i).recno == rw->at(i).recno);
            }
        }
    } catch (const ETableError&) {
    }
    return 0;
}
