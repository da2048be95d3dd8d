// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Record bytes for key-expression and index tests, built straight from field definitions.

#include "data/field.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace arrowsel::test {

// NAME C(10), QTY N(8,2), BORN D, OK L, CNT I, CITY C(8): 32 bytes with the deletion flag.
inline const std::vector<data::FieldDef>& sampleFields() {
    static const std::vector<data::FieldDef> fields{
        {"NAME", data::FieldType::Character, 10, 0, 1}, {"QTY", data::FieldType::Numeric, 8, 2, 11},
        {"BORN", data::FieldType::Date, 8, 0, 19},      {"OK", data::FieldType::Logical, 1, 0, 27},
        {"CNT", data::FieldType::Integer, 4, 0, 28},    {"CITY", data::FieldType::Character, 8, 0, 32},
    };
    return fields;
}

inline std::string fit(std::string_view s, std::size_t width) {
    std::string out(s.substr(0, std::min(s.size(), width)));
    out.resize(width, ' ');
    return out;
}

// A record of sampleFields(); `qty` is the N field's text (right-aligned), `born` "YYYYMMDD" or blank.
inline std::string makeRecord(std::string_view name, std::string_view qty = "", std::string_view born = "",
                              char ok = ' ', std::int32_t cnt = 0, std::string_view city = "") {
    std::string r = " ";
    r += fit(name, 10);
    std::string q(qty);
    r += std::string(8 - std::min<std::size_t>(8, q.size()), ' ') + q.substr(0, 8);
    r += fit(born, 8);
    r += ok;
    const auto u = static_cast<std::uint32_t>(cnt);
    for (int i = 0; i < 4; ++i) {
        r += static_cast<char>((u >> (8 * i)) & 0xFF);
    }
    r += fit(city, 8);
    return r;
}

inline std::string hex(std::string_view bytes) {
    std::string out;
    char buf[4];
    for (unsigned char c : bytes) {
        std::snprintf(buf, sizeof buf, "%02X", c);
        if (!out.empty()) {
            out += ' ';
        }
        out += buf;
    }
    return out;
}

} // namespace arrowsel::test
