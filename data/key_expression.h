// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "data/codepage.h"
#include "data/field.h"

#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace arrowsel::data {

enum class KeyType { Character, Numeric, Date };

// An index key expression, compiled against a table's fields. Supported: field names, string
// literals, numbers, "+" and "-" (concatenation of texts, which for "-" moves the left side's
// trailing blanks to the end; addition and subtraction of numbers), UPPER, LOWER, TRIM, RTRIM,
// LTRIM, ALLTRIM, SUBSTR, LEFT, RIGHT, PADR, STR and DTOS. Anything else is refused with an
// ETableError that names the expression.
//
// Keys are byte strings of fixed length: character keys are the expression's text in the table's
// code page, blank-padded (or cut) to the key length, which is the width of the expression as
// computed from the fields' widths; numeric and date keys are 8 bytes that sort under memcmp like
// the values (IEEE double, big-endian, sign bit set for positives, all bits inverted for
// negatives; dates as their Julian day number, an empty date as 0).
class KeyExpression {
public:
    // Throws ETableError when the expression is malformed, names an unknown field or uses an
    // unsupported function; the message names the expression and, when `fileName` is given, the
    // index file ("Unsupported key expression "X" in index file F: reason.").
    KeyExpression(std::string_view text, std::span<const FieldDef> fields, CodePage cp, std::string_view fileName = {});
    ~KeyExpression();
    KeyExpression(KeyExpression&&) noexcept;
    KeyExpression& operator=(KeyExpression&&) noexcept;
    KeyExpression(const KeyExpression&) = delete;
    KeyExpression& operator=(const KeyExpression&) = delete;

    const std::string& text() const;
    KeyType type() const;
    int keyLength() const;

    // The key of one record: `record` holds the record's bytes, deletion flag first. A record
    // shorter than the fields need reads as blanks past its end.
    std::string evaluate(std::string_view record) const;
    // The same, written to `out` (keyLength() bytes), without allocating for plain field keys.
    void evaluateTo(std::string_view record, char* out) const;

    // Character keys only: uses `length` (1-100) instead of the computed width, as for an index
    // file written by another program that took the length from its first record. Throws
    // ETableError for other lengths or key types.
    void setKeyLength(int length);

    // Turns a seek value into key bytes: a character seek text (already in the code page) is used
    // as given, without padding, so that it matches every key that begins with it.
    static std::string encodeNumber(double value);
    static std::string encodeDate(int year, int month, int day);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace arrowsel::data
