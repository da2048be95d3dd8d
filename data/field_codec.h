// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "data/codepage.h"
#include "data/field.h"
#include "data/value_rules.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace arrowsel::data {

// The values of a record's fields, from and to their stored bytes. Stored forms: C text
// blank-padded on the right; N and F decimal text right-aligned ("." as decimal point, all blanks
// = empty); D "YYYYMMDD" (blanks = empty); L one of T/t/Y/y, F/f/N/n, "?" or blank; I 4-byte
// little-endian int32; memo pointers (M, G, P, B of width 10) 10 ASCII digits, or 4 bytes
// little-endian in Visual FoxPro tables; B of width 8 a little-endian IEEE double (Visual FoxPro).
// Conversions never depend on the process's locale.
namespace field_codec {

// A decimal number with optional blanks around it and an optional sign; nullopt otherwise.
using value_rules::parseNumber;

// The text of a field that is not a memo pointer (memo text is read by the table).
std::string text(const FieldDef& field, const char* record, CodePage cp);
// The value of a field as a number: N, F, I, B (double) and L (1 or 0) always; C when it holds a
// number (blank: 0); nullopt when a character field holds something else. Other types give 0.
std::optional<double> number(const FieldDef& field, const char* record);

// Stores `utf8` into the field's bytes inside `record`. Throws ETableError naming the field and
// `table` when the text does not fit, is not a value of the field's type, or holds a character the
// code page cannot store. Not for memo pointers.
void store(const FieldDef& field, std::string_view utf8, CodePage cp, char* record, const std::string& table);

// Fills the field with its empty value.
void blank(const FieldDef& field, char* record);

// The memo block a pointer field refers to (0: none); nullopt when the pointer is not a number.
std::optional<std::uint32_t> memoBlock(const FieldDef& field, const char* record);
void storeMemoBlock(const FieldDef& field, std::uint32_t block, char* record);

} // namespace field_codec
} // namespace arrowsel::data
