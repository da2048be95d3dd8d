// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Writes the benchmark tables directly (header and records in one go), so that setting up a
// 100,000-record table takes milliseconds instead of 100,000 flushed appends.

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace arrowsel::bench {

struct RawField {
    const char* name;
    char type;
    int width;
    int decimals;
};

// 200-byte records: the deletion flag and 199 bytes of fields.
inline const std::vector<RawField>& benchFields() {
    static const std::vector<RawField> fields = {
        {"NAME", 'C', 40, 0}, {"ADDR1", 'C', 40, 0},   {"CITY", 'C', 30, 0}, {"STATE", 'C', 10, 0},
        {"ZIP", 'C', 10, 0},  {"COUNTRY", 'C', 20, 0}, {"QTY", 'N', 10, 2},  {"BORN", 'D', 8, 0},
        {"OK", 'L', 1, 0},    {"NOTE", 'C', 30, 0},
    };
    return fields;
}

inline std::string benchName(std::uint32_t i) {
    // Names in an order unrelated to record order, so the index really sorts.
    const std::uint32_t scrambled = (i * 2654435761u) % 1000003u;
    char buf[48];
    std::snprintf(buf, sizeof buf, "Customer %07u-%06u", scrambled, i);
    return buf;
}

inline void writeBenchTable(const std::filesystem::path& path, std::uint32_t count) {
    const auto& fields = benchFields();
    int recordLength = 1;
    for (const auto& f : fields) {
        recordLength += f.width;
    }
    const int headerLength = 32 + 32 * static_cast<int>(fields.size()) + 1;
    std::string out(static_cast<std::size_t>(headerLength), '\0');
    out[0] = 0x03;
    out[1] = 126;
    out[2] = 12;
    out[3] = 8;
    for (int k = 0; k < 4; ++k) {
        out[4 + k] = static_cast<char>((count >> (8 * k)) & 0xFF);
    }
    out[8] = static_cast<char>(headerLength & 0xFF);
    out[9] = static_cast<char>(headerLength >> 8);
    out[10] = static_cast<char>(recordLength & 0xFF);
    out[11] = static_cast<char>(recordLength >> 8);
    out[29] = 0x03;
    int offset = 1;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        char* d = out.data() + 32 + 32 * i;
        std::snprintf(d, 11, "%s", fields[i].name);
        d[11] = fields[i].type;
        for (int k = 0; k < 4; ++k) {
            d[12 + k] = static_cast<char>((offset >> (8 * k)) & 0xFF);
        }
        d[16] = static_cast<char>(fields[i].width);
        d[17] = static_cast<char>(fields[i].decimals);
        offset += fields[i].width;
    }
    out[static_cast<std::size_t>(headerLength) - 1] = 0x0D;
    out.reserve(out.size() + static_cast<std::size_t>(count) * static_cast<std::size_t>(recordLength) + 1);
    char buf[64];
    for (std::uint32_t i = 1; i <= count; ++i) {
        std::string rec(static_cast<std::size_t>(recordLength), ' ');
        std::size_t pos = 1;
        auto put = [&](const std::string& text, int width, bool right) {
            std::string v = text.substr(0, static_cast<std::size_t>(width));
            const std::size_t pad = static_cast<std::size_t>(width) - v.size();
            rec.replace(pos + (right ? pad : 0), v.size(), v);
            pos += static_cast<std::size_t>(width);
        };
        put(benchName(i), 40, false);
        std::snprintf(buf, sizeof buf, "%u Fletching Lane", i % 9999);
        put(buf, 40, false);
        put("Springfield", 30, false);
        put("OH", 10, false);
        std::snprintf(buf, sizeof buf, "%05u", i % 100000);
        put(buf, 10, false);
        put("USA", 20, false);
        std::snprintf(buf, sizeof buf, "%u.%02u", i % 1000, i % 100);
        put(buf, 10, true);
        std::snprintf(buf, sizeof buf, "19%02u%02u%02u", 50 + i % 50, 1 + i % 12, 1 + i % 28);
        put(buf, 8, false);
        put(i % 2 ? "T" : "F", 1, false);
        put("Prefers carbon shafts", 30, false);
        out += rec;
    }
    out += '\x1A';
    std::ofstream(path, std::ios::binary | std::ios::trunc).write(out.data(), static_cast<std::streamsize>(out.size()));
}

} // namespace arrowsel::bench
