// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/field_codec.h"

#include "data/dbf_header.h"
#include "data/table_error.h"
#include "data/text.h"
#include "data/value_rules.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

namespace arrowsel::data::field_codec {
namespace {

static_assert(std::endian::native == std::endian::little, "the record layout code assumes a little-endian machine");

[[noreturn]] void refuse(const FieldDef& f, const std::string& table, const std::string& what) {
    throw ETableError("The field " + f.name + " of table " + table + " " + what + ".");
}

bool allDigits(std::string_view s) {
    return !s.empty() && s.find_first_not_of("0123456789") == std::string_view::npos;
}

} // namespace

std::string text(const FieldDef& f, const char* record, CodePage cp) {
    const std::string_view bytes(record + f.offset, static_cast<std::size_t>(f.width));
    switch (f.type) {
    case FieldType::Character:
        return decodeText(cp, bytes);
    case FieldType::Numeric:
    case FieldType::Float:
        return decodeText(cp, trimSpacesAndNuls(bytes));
    case FieldType::Date: {
        const std::string_view t = trimSpacesAndNuls(bytes);
        if (t.empty() || t.find_first_not_of('0') == std::string_view::npos) {
            return {};
        }
        return decodeText(cp, bytes);
    }
    case FieldType::Logical:
        switch (bytes[0]) {
        case 'T':
        case 't':
        case 'Y':
        case 'y':
            return "T";
        case 'F':
        case 'f':
        case 'N':
        case 'n':
            return "F";
        default:
            return {};
        }
    case FieldType::Integer:
        return std::to_string(static_cast<std::int32_t>(readLe32(bytes.data())));
    case FieldType::Binary:
        if (f.width == 8) {
            double v = 0;
            std::memcpy(&v, bytes.data(), sizeof v);
            char buf[64];
            const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, 15);
            return std::string(buf, r.ptr);
        }
        return {};
    default:
        return {};
    }
}

std::optional<double> number(const FieldDef& f, const char* record) {
    const std::string_view bytes(record + f.offset, static_cast<std::size_t>(f.width));
    switch (f.type) {
    case FieldType::Numeric:
    case FieldType::Float:
        return parseNumber(bytes).value_or(0.0); // blank, or asterisks for an overflow: empty
    case FieldType::Character:
        if (trimSpacesAndNuls(bytes).empty()) {
            return 0.0;
        }
        return parseNumber(bytes);
    case FieldType::Integer:
        return static_cast<double>(static_cast<std::int32_t>(readLe32(bytes.data())));
    case FieldType::Logical:
        return text(f, record, CodePage::Windows1252) == "T" ? 1.0 : 0.0;
    case FieldType::Binary:
        if (f.width == 8) {
            double v = 0;
            std::memcpy(&v, bytes.data(), sizeof v);
            return v;
        }
        return 0.0;
    default:
        return 0.0;
    }
}

void blank(const FieldDef& f, char* record) {
    char* p = record + f.offset;
    const auto w = static_cast<std::size_t>(f.width);
    switch (f.type) {
    case FieldType::Character:
    case FieldType::Numeric:
    case FieldType::Float:
    case FieldType::Date:
    case FieldType::Logical:
        std::memset(p, ' ', w);
        return;
    default:
        std::memset(p, isMemoPointer(f) && f.width == 10 ? ' ' : '\0', w);
        return;
    }
}

namespace {

// The steps of store(), one a field type. Each writes the field's bytes at `p` from `stored` (the
// text in the table's code page) or refuses it, naming the text as the user typed it (`utf8`).
struct StoreInput {
    const FieldDef& field;
    std::string_view utf8;
    std::string_view stored;
    const std::string& table;
    [[noreturn]] void refuse(const std::string& why) const { field_codec::refuse(field, table, why); }
    std::string typed() const { return "\"" + std::string(utf8) + "\""; }
};

void storeCharacter(const StoreInput& in, char* p, std::size_t w) {
    const std::string_view t = in.stored.size() > w ? trimTrailingSpaces(in.stored) : in.stored;
    if (t.size() > w) {
        in.refuse("is " + std::to_string(w) + " characters wide; the text " + in.typed() + " does not fit");
    }
    std::memcpy(p, t.data(), t.size());
    std::memset(p + t.size(), ' ', w - t.size());
}

void storeNumber(const StoreInput& in, char* p, std::size_t w) {
    if (trimSpacesAndNuls(in.stored).empty()) {
        std::memset(p, ' ', w);
        return;
    }
    const std::optional<double> v = parseNumber(in.stored);
    if (!v) {
        in.refuse("holds numbers; " + in.typed() + " is not a number");
    }
    const std::string out = value_rules::decimalText(*v, in.field.decimals);
    if (out.empty() || out.size() > w) {
        in.refuse("is " + std::to_string(w) + " characters wide with " + std::to_string(in.field.decimals) +
                  " decimals; the number " + std::string(trimSpacesAndNuls(in.utf8)) + " does not fit");
    }
    std::memset(p, ' ', w - out.size());
    std::copy(out.begin(), out.end(), p + (w - out.size()));
}

void storeDate(const StoreInput& in, char* p, std::size_t w) {
    const std::string_view t = trimSpacesAndNuls(in.stored);
    if (t.empty()) {
        std::memset(p, ' ', w);
        return;
    }
    std::string digits;
    if (t.size() == 10 && t[4] == '-' && t[7] == '-') {
        digits = std::string(t.substr(0, 4)) + std::string(t.substr(5, 2)) + std::string(t.substr(8, 2));
    } else {
        digits = std::string(t);
    }
    const std::optional<value_rules::Date> date = value_rules::parseDate(digits);
    if (!date) {
        in.refuse("holds dates as YYYYMMDD; " + in.typed() + " is not a date");
    }
    std::memcpy(p, value_rules::dateDigits(*date).data(), 8);
}

void storeLogical(const StoreInput& in, char* p) {
    std::string_view t = trimSpacesAndNuls(in.stored);
    if (t.size() == 3 && t.front() == '.' && t.back() == '.') {
        t = t.substr(1, 1);
    }
    char c = ' ';
    if (!t.empty()) {
        switch (t.front()) {
        case 'T':
        case 't':
        case 'Y':
        case 'y':
        case '1':
            c = 'T';
            break;
        case 'F':
        case 'f':
        case 'N':
        case 'n':
        case '0':
            c = 'F';
            break;
        case '?':
            c = '?';
            break;
        default:
            in.refuse("holds T or F; " + in.typed() + " is neither");
        }
    }
    p[0] = c;
}

void storeInteger(const StoreInput& in, char* p) {
    std::string_view t = trimSpacesAndNuls(in.stored);
    std::int64_t v = 0;
    if (!t.empty()) {
        if (t.front() == '+') {
            t.remove_prefix(1);
        }
        const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
        if (t.empty() || ec != std::errc() || end != t.data() + t.size() ||
            v < std::numeric_limits<std::int32_t>::min() || v > std::numeric_limits<std::int32_t>::max()) {
            in.refuse("holds whole numbers from -2147483648 to 2147483647; " + in.typed() + " is not one");
        }
    }
    writeLe32(p, static_cast<std::uint32_t>(static_cast<std::int32_t>(v)));
}

// A Visual FoxPro double (type B, width 8).
void storeDouble(const StoreInput& in, char* p) {
    double v = 0;
    if (!trimSpacesAndNuls(in.stored).empty()) {
        const std::optional<double> parsed = parseNumber(in.stored);
        if (!parsed) {
            in.refuse("holds numbers; " + in.typed() + " is not a number");
        }
        v = *parsed;
    }
    std::memcpy(p, &v, sizeof v);
}

} // namespace

void store(const FieldDef& f, std::string_view utf8, CodePage cp, char* record, const std::string& table) {
    char* p = record + f.offset;
    const auto w = static_cast<std::size_t>(f.width);
    std::string stored;
    std::string bad;
    if (!encodeText(cp, utf8, stored, &bad)) {
        refuse(f, table, "cannot hold the character \"" + bad + "\" (code page " + codePageName(cp) + ")");
    }
    const StoreInput in{f, utf8, stored, table};
    switch (f.type) {
    case FieldType::Character:
        storeCharacter(in, p, w);
        return;
    case FieldType::Numeric:
    case FieldType::Float:
        storeNumber(in, p, w);
        return;
    case FieldType::Date:
        storeDate(in, p, w);
        return;
    case FieldType::Logical:
        storeLogical(in, p);
        return;
    case FieldType::Integer:
        storeInteger(in, p);
        return;
    case FieldType::Binary:
        if (f.width == 8) {
            storeDouble(in, p);
            return;
        }
        break;
    default:
        break;
    }
    refuse(f, table, "cannot be written as text (type " + std::string(1, static_cast<char>(f.type)) + ")");
}

std::optional<std::uint32_t> memoBlock(const FieldDef& f, const char* record) {
    const char* p = record + f.offset;
    if (f.width == 4) {
        return readLe32(p);
    }
    const std::string_view t = trimSpacesAndNuls(std::string_view(p, static_cast<std::size_t>(f.width)));
    if (t.empty()) {
        return 0u;
    }
    if (!allDigits(t) || t.size() > 10) {
        return std::nullopt;
    }
    std::uint64_t v = 0;
    for (const char c : t) {
        v = v * 10 + static_cast<std::uint64_t>(c - '0');
    }
    if (v > 0xFFFFFFFFu) {
        return std::nullopt;
    }
    return static_cast<std::uint32_t>(v);
}

void storeMemoBlock(const FieldDef& f, std::uint32_t block, char* record) {
    char* p = record + f.offset;
    if (f.width == 4) {
        writeLe32(p, block);
        return;
    }
    const auto w = static_cast<std::size_t>(f.width);
    std::memset(p, ' ', w);
    if (block == 0) {
        return;
    }
    const std::string digits = std::to_string(block);
    digits.copy(p + (w - digits.size()), digits.size()); // a fixed-width field, no terminator
}

} // namespace arrowsel::data::field_codec
