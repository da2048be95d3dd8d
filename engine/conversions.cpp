// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/conversions.h"

#include "data/text.h"

#include <charconv>
#include <climits>
#include <cstddef>

namespace arrowsel::engine {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

[[noreturn]] void failInteger(std::string_view text) {
    throw EConvertError("'" + std::string(text) + "' is not a valid integer value");
}

[[noreturn]] void failNumber(std::string_view text) {
    throw EConvertError("'" + std::string(text) + "' is not a valid floating point value");
}

} // namespace

int toInteger(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    if (i == text.size()) {
        failInteger(text);
    }
    long long value = 0;
    for (std::size_t k = i; k < text.size(); ++k) {
        if (!isDigit(text[k])) {
            failInteger(text);
        }
        value = value * 10 + (text[k] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1) {
            failInteger(text);
        }
    }
    if (negative) {
        value = -value;
    }
    if (value > INT_MAX || value < INT_MIN) {
        failInteger(text);
    }
    return static_cast<int>(value);
}

double toNumber(std::string_view text) {
    const std::string_view body = data::trimSpaces(text);

    // Check the shape first: from_chars would also take "inf", "nan" and hexadecimal forms.
    std::size_t i = 0;
    bool negative = false;
    if (i < body.size() && (body[i] == '+' || body[i] == '-')) {
        negative = body[i] == '-';
        ++i;
    }
    const std::size_t mantissa = i;
    std::size_t digits = 0;
    while (i < body.size() && isDigit(body[i])) {
        ++i;
        ++digits;
    }
    if (i < body.size() && body[i] == '.') {
        ++i;
        while (i < body.size() && isDigit(body[i])) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0) {
        failNumber(text);
    }
    if (i < body.size() && (body[i] == 'e' || body[i] == 'E')) {
        ++i;
        if (i < body.size() && (body[i] == '+' || body[i] == '-')) {
            ++i;
        }
        std::size_t expDigits = 0;
        while (i < body.size() && isDigit(body[i])) {
            ++i;
            ++expDigits;
        }
        if (expDigits == 0) {
            failNumber(text);
        }
    }
    if (i != body.size()) {
        failNumber(text);
    }

    double value = 0;
    const char* first = body.data() + mantissa;
    const char* last = body.data() + body.size();
    auto [ptr, ec] = std::from_chars(first, last, value, std::chars_format::general);
    if (ec != std::errc() || ptr != last) {
        failNumber(text);
    }
    return negative ? -value : value;
}

std::string numberText(double value) {
    char buffer[64];
    auto [ptr, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    if (ec != std::errc()) {
        return {};
    }
    return std::string(buffer, ptr);
}

} // namespace arrowsel::engine
