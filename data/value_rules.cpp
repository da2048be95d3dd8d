// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/value_rules.h"

#include "data/text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>

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

std::string dateDigits(const Date& date) {
    const auto y = static_cast<unsigned>(date.year);
    const auto m = static_cast<unsigned>(date.month);
    const auto d = static_cast<unsigned>(date.day);
    const auto digit = [](unsigned v) { return static_cast<char>('0' + v % 10); };
    const char text[8] = {digit(y / 1000), digit(y / 100), digit(y / 10), digit(y),
                          digit(m / 10),   digit(m),       digit(d / 10), digit(d)};
    return std::string(text, sizeof text);
}

long long julianDay(const Date& date) {
    const int a = (14 - date.month) / 12;
    const long long yy = static_cast<long long>(date.year) + 4800 - a;
    const long long mm = date.month + 12 * a - 3;
    return date.day + (153 * mm + 2) / 5 + 365 * yy + yy / 4 - yy / 100 + yy / 400 - 32045;
}

std::optional<Date> dateOfJulianDay(double day) {
    if (!(day >= 1721426 && day <= 5373484)) { // 0001-01-01 .. 9999-12-31; also catches NaN
        return std::nullopt;
    }
    // The inverse of julianDay() (Richards' algorithm).
    const auto j = static_cast<long long>(day);
    const long long f = j + 1401 + (((4 * j + 274277) / 146097) * 3) / 4 - 38;
    const long long e = 4 * f + 3;
    const long long g = (e % 1461) / 4;
    const long long h = 5 * g + 2;
    const long long d = (h % 153) / 5 + 1;
    const long long m = ((h / 153 + 2) % 12) + 1;
    const long long y = e / 1461 - 4716 + (12 + 2 - m) / 12;
    return Date{static_cast<int>(y), static_cast<int>(m), static_cast<int>(d)};
}

std::string decimalText(double value, int decimals) {
    char buf[512];
    const auto [ptr, ec] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals);
    if (ec != std::errc()) {
        return {};
    }
    std::string_view out(buf, static_cast<std::size_t>(ptr - buf));
    if (!out.empty() && out.front() == '-' && out.find_first_not_of("-0.") == std::string_view::npos) {
        out.remove_prefix(1); // no negative zero
    }
    return std::string(out);
}

std::string strText(double value, int width, int decimals) {
    if (width <= 0) {
        return {};
    }
    if (!std::isfinite(value)) {
        return std::string(static_cast<std::size_t>(width), '*');
    }
    // Every power of ten up to 10^18 is a double exactly.
    static constexpr std::array<double, 19> kScale{1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8, 1e9,
                                                   1e10, 1e11, 1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18};
    for (int d = std::clamp(decimals, 0, 18); d >= 0; --d) {
        // The double nearest 2.675 lies below it: round on the decimal value, nudged by a few ulps,
        // while the scaled value still has a fraction to round.
        double r = value;
        const double scale = kScale[static_cast<std::size_t>(d)];
        if (std::fabs(value * scale) < 4.0e15) {
            r = std::round(value * scale * (1 + 4 * std::numeric_limits<double>::epsilon())) / scale;
        }
        const std::string s = decimalText(r, d);
        if (s.empty()) {
            break;
        }
        if (static_cast<int>(s.size()) <= width) {
            return std::string(static_cast<std::size_t>(width) - s.size(), ' ') + s;
        }
    }
    return std::string(static_cast<std::size_t>(width), '*');
}

} // namespace arrowsel::data::value_rules
