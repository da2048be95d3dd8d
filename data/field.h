// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

namespace arrowsel::data {

// The DBF type letter of a field.
enum class FieldType : char {
    Character = 'C',
    Numeric = 'N',
    Float = 'F',
    Date = 'D',
    Logical = 'L',
    Integer = 'I',
    Memo = 'M',
    Binary = 'B',
    General = 'G',
    Picture = 'P',
};

struct FieldDef {
    std::string name;  // upper case, at most 10 characters
    FieldType type = FieldType::Character;
    int width = 0;     // bytes in the record
    int decimals = 0;  // N and F only
    int offset = 0;    // position in the record; the deletion flag is byte 0, so the first field is at 1
};

} // namespace arrowsel::data
