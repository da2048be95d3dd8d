// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/text.h"

namespace arrowsel::data {

namespace {

template <typename IsBlank> std::string_view trimBoth(std::string_view text, IsBlank isBlank) {
    while (!text.empty() && isBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

bool isContinuation(unsigned char b) {
    return (b & 0xC0) == 0x80;
}

} // namespace

std::string_view trimSpaces(std::string_view text) {
    return trimBoth(text, [](char c) { return c == ' '; });
}

std::string_view trimSpacesAndNuls(std::string_view text) {
    return trimBoth(text, [](char c) { return c == ' ' || c == '\0'; });
}

std::string_view trimControlsAndSpaces(std::string_view text) {
    return trimBoth(text, [](char c) { return static_cast<unsigned char>(c) <= ' '; });
}

std::string_view trimTrailingSpaces(std::string_view text) {
    const std::size_t end = text.find_last_not_of(' ');
    return end == std::string_view::npos ? std::string_view() : text.substr(0, end + 1);
}

std::string cutAtMark(std::string text, char mark) {
    if (const auto pos = text.find(mark); pos != std::string::npos) {
        text.erase(pos, 15);
    }
    return text;
}

std::size_t utf8SequenceAt(std::string_view text, std::size_t at, char32_t& c) {
    const auto lead = static_cast<unsigned char>(text[at]);
    std::size_t len = 0;
    if (lead < 0x80) {
        c = lead;
        return 1;
    }
    if ((lead & 0xE0) == 0xC0) {
        len = 2;
        c = lead & 0x1Fu;
    } else if ((lead & 0xF0) == 0xE0) {
        len = 3;
        c = lead & 0x0Fu;
    } else if ((lead & 0xF8) == 0xF0) {
        len = 4;
        c = lead & 0x07u;
    } else {
        return 0;
    }
    if (at + len > text.size()) {
        return 0;
    }
    for (std::size_t k = 1; k < len; ++k) {
        const auto b = static_cast<unsigned char>(text[at + k]);
        if (!isContinuation(b)) {
            return 0;
        }
        c = (c << 6) | (b & 0x3Fu);
    }
    // The smallest code point each length may carry: anything below is an overlong form.
    static constexpr char32_t kMin[] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < kMin[len] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
        return 0;
    }
    return len;
}

bool isValidUtf8(std::string_view text) {
    std::size_t i = 0;
    char32_t c = 0;
    while (i < text.size()) {
        const std::size_t len = utf8SequenceAt(text, i, c);
        if (len == 0) {
            return false;
        }
        i += len;
    }
    return true;
}

std::size_t utf8Length(std::string_view text) {
    std::size_t n = 0;
    for (const char c : text) {
        if (!isContinuation(static_cast<unsigned char>(c))) {
            ++n;
        }
    }
    return n;
}

} // namespace arrowsel::data
