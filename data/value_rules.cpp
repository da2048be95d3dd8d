// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/value_rules.h"

#include "data/text.h"

#include <array>
#include <charconv>
#include <cmath>

namespace arrowsel::data::value_rules {

std::optional<double> parseNumber(std::string_view text) {
    std::string_view t = trimSpacesAndNuls(text);
    bool negative = false;
    if (!t.empty() && (t.front() == '+' || t.front() == '-')) {
        negative = t.front() == '-';
        t.remove_prefix(1);
    }
    // from_chars would also take "inf", "nan" and a second sign.
    if (t.empty() || !((t.front() >= '0' && t.front() <= '9') || t.front() == '.')) {
        return std::nullopt;
    }
    double v = 0;
    const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
    if (ec != std::errc() || end != t.data() + t.size() || !std::isfinite(v)) {
        return std::nullopt;
    }
    return negative ? -v : v;
}

bool isLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

bool validDate(int year, int month, int day) {
    static constexpr std::array<int, 12> kDays{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1) {
        return false;
    }
    const int last = month == 2 && isLeapYear(year) ? 29 : kDays[static_cast<std::size_t>(month - 1)];
    return day <= last;
}

std::optional<Date> parseDate(std::string_view digits) {
    if (digits.size() != 8) {
        return std::nullopt;
    }
    int parts[3] = {0, 0, 0};
    const int lengths[3] = {4, 2, 2};
    std::size_t at = 0;
    for (int p = 0; p < 3; ++p) {
        for (int i = 0; i < lengths[p]; ++i, ++at) {
            const char c = digits[at];
            if (c < '0' || c > '9') {
                return std::nullopt;
            }
            parts[p] = parts[p] * 10 + (c - '0');
        }
    }
    if (!validDate(parts[0], parts[1], parts[2])) {
        return std::nullopt;
    }
    return Date{parts[0], parts[1], parts[2]};
}

} // namespace arrowsel::data::value_rules
