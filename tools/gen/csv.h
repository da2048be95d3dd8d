// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace arrowsel::sampledata {

// A small reader for the readable sources: comma-separated, "double quotes" around a value that
// holds a comma (a doubled quote inside stands for one), lines starting with '#' and blank lines
// ignored, the first remaining line naming the columns.
class CsvTable {
public:
    static CsvTable read(const std::filesystem::path& file);
    static CsvTable parse(std::string_view text, const std::string& origin);

    std::size_t size() const { return rows_.size(); }
    // The value of a column in a row; throws std::runtime_error naming the file for an unknown column.
    const std::string& at(std::size_t row, std::string_view column) const;
    double number(std::size_t row, std::string_view column) const;
    bool has(std::string_view column) const;

private:
    std::string origin_;
    std::map<std::string, std::size_t, std::less<>> columns_;
    std::vector<std::vector<std::string>> rows_;
};

// Locale-independent number parsing; throws std::runtime_error on anything but a whole number text.
double parseNumber(std::string_view text, const std::string& context);

} // namespace arrowsel::sampledata
