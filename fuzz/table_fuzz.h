// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Shared by the table engine's harnesses: a private folder for the files a run writes, and a
// reader that opens a table and touches every field of every record, as the program would.

#include "data/dbf_table.h"
#include "data/table_error.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace arrowsel::fuzz {

inline const std::filesystem::path& workFolder() {
    static const std::filesystem::path folder = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "arrowsel-fuzz-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            std::abort();
        }
        static std::string made;
        made = pattern;
        std::atexit([] {
            std::error_code ec;
            std::filesystem::remove_all(made, ec);
        });
        return std::filesystem::path(pattern);
    }();
    return folder;
}

inline void writeBytes(const std::filesystem::path& path, const void* data, std::size_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
}

// Reads everything through the public interface (and copies the table to text); every engine
// error is an accepted outcome.
inline void readEverything(const std::filesystem::path& table, data::TDbfTable::OpenMode mode, bool exportText = true) {
    using data::ETableError;
    data::TDbfTable t;
    try {
        t.open(table, mode);
    } catch (const ETableError&) {
        return;
    }
    std::uint32_t guard = 0;
    for (t.first(); !t.eof() && guard < 100000; t.next(), ++guard) {
        for (const data::FieldDef& f : t.fields()) {
            try {
                (void)t.fieldText(f.name);
                (void)t.fieldBlob(f.name);
                (void)t.fieldFloat(f.name);
                (void)t.fieldInteger(f.name);
            } catch (const ETableError&) {
            }
        }
        (void)t.isDeleted();
        (void)t.recNo();
    }
    try {
        t.last();
        t.prior();
        (void)t.recordCount();
        if (exportText) {
            t.copyToText(workFolder() / "out.txt", 21);
        }
    } catch (const ETableError&) {
    }
}

} // namespace arrowsel::fuzz
