// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A folder of saved setups at a large shop's scale for the customer benchmarks: the shipped empty
// table, the customers appended as raw records, the name index rebuilt. Set-up, not what is
// measured, so it goes the fast way.

#include "data/dbf_table.h"
#include "records/saved_setup.h"
#include "tools/gen/tables.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace arrowsel::bench {

// Names in an order unrelated to the order they were added in, so the name order really sorts.
inline std::string customerName(std::uint32_t i) {
    const std::uint32_t scrambled = (i * 2654435761u) % 1000003u;
    char buf[48];
    std::snprintf(buf, sizeof buf, "Customer %07u-%06u", scrambled, i);
    return buf;
}

struct CustomerFolder {
    std::filesystem::path path;
    CustomerFolder(const CustomerFolder&) = delete;
    CustomerFolder& operator=(const CustomerFolder&) = delete;
    CustomerFolder(const std::string& tag, std::uint32_t count) {
        path = std::filesystem::temp_directory_path() / ("arrowsel-bench-" + tag + "-" + std::to_string(::getpid()));
        std::filesystem::create_directories(path);
        arrowsel::sampledata::writeSavedSetups(path);
        std::vector<arrowsel::data::FieldDef> fields;
        {
            arrowsel::data::TDbfTable t;
            t.open(path / arrowsel::records::kSavedTable, arrowsel::data::TDbfTable::OpenMode::ReadOnly);
            fields = t.fields();
        }
        std::size_t recordLength = 1;
        for (const auto& f : fields) {
            recordLength += static_cast<std::size_t>(f.width);
        }
        std::fstream file(path / arrowsel::records::kSavedTable, std::ios::in | std::ios::out | std::ios::binary);
        unsigned char head[12];
        file.read(reinterpret_cast<char*>(head), sizeof head);
        const std::size_t headerLength = head[8] | (head[9] << 8);
        std::string out;
        out.reserve(count * recordLength + 1);
        for (std::uint32_t i = 1; i <= count; ++i) {
            std::string rec(recordLength, ' ');
            const auto put = [&](const char* field, const std::string& text, bool right = false) {
                for (const auto& f : fields) {
                    if (f.name == field) {
                        const std::size_t w = static_cast<std::size_t>(f.width);
                        const std::string v = text.substr(0, w);
                        rec.replace(static_cast<std::size_t>(f.offset) + (right ? w - v.size() : 0), v.size(), v);
                    }
                }
            };
            put("NAME", customerName(i));
            put("ADDR1", std::to_string(i % 9999) + " Fletching Lane");
            put("CITY", "Springfield");
            put("STATE", "OH");
            put("ZIP", std::to_string(10000 + i % 90000));
            put("DATE", "20260314");
            put("BOWWT", "60");
            put("ARLEN", "30");
            put("PNTWT", "100");
            for (const char* code : {"HORT", "BOTYP", "WHTYP", "RETYP", "BOLEN", "ODLEN"}) {
                put(code, std::to_string(i % 2), true);
            }
            out += rec;
        }
        out += '\x1A';
        file.seekp(static_cast<std::streamoff>(headerLength));
        file.write(out.data(), static_cast<std::streamsize>(out.size()));
        for (int k = 0; k < 4; ++k) {
            head[4 + k] = static_cast<unsigned char>((count >> (8 * k)) & 0xFF);
        }
        file.seekp(4);
        file.write(reinterpret_cast<const char*>(head + 4), 4);
        file.close();
        arrowsel::data::TDbfTable t;
        t.open(path / arrowsel::records::kSavedTable, arrowsel::data::TDbfTable::OpenMode::Exclusive);
        t.openIndexFile(arrowsel::records::kSavedIndex);
        t.reindex();
    }
    ~CustomerFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
};

} // namespace arrowsel::bench
