// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "data/dbf_table.h"

#include <vector>

namespace arrowsel::records {

// The layout of "Saveddb.dbf" as the program creates it: wide enough for anything the windows let
// a user type, the setup values keeping the edits' texts. A shop's own table may declare other
// widths; a book reads them from its table. The database book declares the same fields with the
// same limits, so a record moves between the two books unchanged.
inline std::vector<data::TDbfTable::FieldSpec> savedSetupFields() {
    using data::FieldType;
    return {
        {"NAME", FieldType::Character, 40},    {"ADDR1", FieldType::Character, 40}, {"ADDR2", FieldType::Character, 40},
        {"CITY", FieldType::Character, 30},    {"STATE", FieldType::Character, 10}, {"ZIP", FieldType::Character, 12},
        {"COUNTRY", FieldType::Character, 30}, {"CCODE", FieldType::Character, 12}, {"COMMENTS", FieldType::Memo, 10},
        {"DATE", FieldType::Date, 8},          {"BOWWT", FieldType::Character, 10}, {"ARLEN", FieldType::Character, 10},
        {"PNTWT", FieldType::Character, 10},   {"HORT", FieldType::Numeric, 2},     {"BOTYP", FieldType::Numeric, 2},
        {"WHTYP", FieldType::Numeric, 2},      {"RETYP", FieldType::Numeric, 2},    {"BOLEN", FieldType::Numeric, 2},
        {"ODLEN", FieldType::Numeric, 2},
    };
}

} // namespace arrowsel::records
