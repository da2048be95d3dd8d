// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/gen/csv.h"

#include "data/text.h"

#include <charconv>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace arrowsel::sampledata {

namespace {

std::vector<std::string> splitLine(std::string_view line) {
    std::vector<std::string> out;
    std::string cur;
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted) {
            if (c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
                cur += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                cur += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            out.push_back(cur);
            cur.clear();
        } else {
            cur += c;
        }
    }
    out.push_back(cur);
    for (auto& v : out) {
        v = std::string(data::trimSpaces(v));
    }
    return out;
}

} // namespace

CsvTable CsvTable::read(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        throw std::runtime_error("cannot read " + file.string());
    }
    std::ostringstream text;
    text << in.rdbuf();
    return parse(text.str(), file.string());
}

CsvTable CsvTable::parse(std::string_view text, const std::string& origin) {
    CsvTable t;
    t.origin_ = origin;
    bool header = true;
    std::size_t pos = 0;
    int lineNo = 0;
    while (pos <= text.size()) {
        auto end = text.find('\n', pos);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        ++lineNo;
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        if (line.find_first_not_of(" \t") == std::string_view::npos || line.front() == '#') {
            continue;
        }
        auto cells = splitLine(line);
        if (header) {
            for (std::size_t i = 0; i < cells.size(); ++i) {
                t.columns_.emplace(cells[i], i);
            }
            header = false;
            continue;
        }
        if (cells.size() != t.columns_.size()) {
            throw std::runtime_error(origin + ":" + std::to_string(lineNo) + ": expected " +
                                     std::to_string(t.columns_.size()) + " values, found " +
                                     std::to_string(cells.size()));
        }
        t.rows_.push_back(std::move(cells));
    }
    return t;
}

bool CsvTable::has(std::string_view column) const {
    return columns_.find(column) != columns_.end();
}

const std::string& CsvTable::at(std::size_t row, std::string_view column) const {
    const auto it = columns_.find(column);
    if (it == columns_.end()) {
        throw std::runtime_error(origin_ + ": no column '" + std::string(column) + "'");
    }
    return rows_.at(row)[it->second];
}

double CsvTable::number(std::size_t row, std::string_view column) const {
    return parseNumber(at(row, column), origin_ + " column " + std::string(column));
}

double parseNumber(std::string_view text, const std::string& context) {
    double value = 0;
    const auto* first = text.data();
    const auto* last = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(first, last, value);
    if (ec != std::errc() || ptr != last || text.empty()) {
        throw std::runtime_error(context + ": '" + std::string(text) + "' is not a number");
    }
    return value;
}

} // namespace arrowsel::sampledata
