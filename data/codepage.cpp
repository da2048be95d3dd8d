// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/codepage.h"

#include "data/text.h"

#include <array>

namespace arrowsel::data {
namespace {

#include "data/codepage_tables.inc"

struct Tables {
    const char16_t* high;
    const unsigned char* upper;
    const unsigned char* lower;
};

Tables tablesOf(CodePage cp) {
    switch (cp) {
    case CodePage::Dos437:
        return {kCp437High, kCp437Upper, kCp437Lower};
    case CodePage::Dos850:
        return {kCp850High, kCp850Upper, kCp850Lower};
    case CodePage::Windows1252:
        break;
    }
    return {kCp1252High, kCp1252Upper, kCp1252Lower};
}

// Reverse map of one code page's high half, built once: Unicode code point to byte (0 = none).
struct Reverse {
    std::array<unsigned char, 0x10000> byteOf{};
    explicit Reverse(const char16_t* high) {
        for (int i = 0; i < 128; ++i) {
            byteOf[high[i]] = static_cast<unsigned char>(0x80 + i);
        }
    }
};

const Reverse& reverseOf(CodePage cp) {
    static const Reverse r1252(kCp1252High);
    static const Reverse r437(kCp437High);
    static const Reverse r850(kCp850High);
    switch (cp) {
    case CodePage::Dos437:
        return r437;
    case CodePage::Dos850:
        return r850;
    case CodePage::Windows1252:
        break;
    }
    return r1252;
}

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

} // namespace

CodePage codePageFromMark(std::uint8_t mark) {
    switch (mark) {
    case 0x01:
        return CodePage::Dos437;
    case 0x02:
        return CodePage::Dos850;
    default:
        return CodePage::Windows1252;
    }
}

const char* codePageName(CodePage cp) {
    switch (cp) {
    case CodePage::Dos437:
        return "437";
    case CodePage::Dos850:
        return "850";
    case CodePage::Windows1252:
        break;
    }
    return "1252";
}

std::string decodeText(CodePage cp, std::string_view bytes) {
    const char16_t* high = tablesOf(cp).high;
    std::string out;
    out.reserve(bytes.size());
    for (const char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        if (b < 0x80) {
            out += ch;
        } else {
            appendUtf8(out, high[b - 0x80]);
        }
    }
    return out;
}

bool encodeText(CodePage cp, std::string_view utf8, std::string& out, std::string* badChar) {
    out.clear();
    out.reserve(utf8.size());
    const Reverse& rev = reverseOf(cp);
    std::size_t i = 0;
    while (i < utf8.size()) {
        const auto b0 = static_cast<unsigned char>(utf8[i]);
        if (b0 < 0x80) {
            out += utf8[i++];
            continue;
        }
        char32_t c = 0;
        const std::size_t len = utf8SequenceAt(utf8, i, c);
        if (len == 0) {
            if (badChar != nullptr) {
                *badChar = "\xEF\xBF\xBD"; // U+FFFD stands for the malformed bytes in messages
            }
            return false;
        }
        const unsigned char stored = c < 0x10000 ? rev.byteOf[c] : 0;
        if (stored == 0) {
            if (badChar != nullptr) {
                badChar->assign(utf8.substr(i, len));
            }
            return false;
        }
        out += static_cast<char>(stored);
        i += len;
    }
    return true;
}

unsigned char upperByte(CodePage cp, unsigned char b) {
    return tablesOf(cp).upper[b];
}

unsigned char lowerByte(CodePage cp, unsigned char b) {
    return tablesOf(cp).lower[b];
}

} // namespace arrowsel::data
