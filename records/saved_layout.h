// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "records/setup_field.h"

#include <vector>

namespace arrowsel::records {

// The fields of a saved setup as the program creates them: wide enough for anything the windows
// let a user type, the setup values keeping the edits' texts. A shop's own "Saveddb.dbf" may
// declare other widths; the files book reads them from its table. The database book declares the
// same fields with the same limits, so a record moves between the two books unchanged.
inline std::vector<SetupField> savedSetupFields() {
    using K = SetupFieldKind;
    return {
        {"NAME", K::Text, 40},     {"ADDR1", K::Text, 40},  {"ADDR2", K::Text, 40},   {"CITY", K::Text, 30},
        {"STATE", K::Text, 10},    {"ZIP", K::Text, 12},    {"COUNTRY", K::Text, 30}, {"CCODE", K::Text, 12},
        {"COMMENTS", K::Comments}, {"DATE", K::Date, 8},    {"BOWWT", K::Text, 10},   {"ARLEN", K::Text, 10},
        {"PNTWT", K::Text, 10},    {"HORT", K::Number, 2},  {"BOTYP", K::Number, 2},  {"WHTYP", K::Number, 2},
        {"RETYP", K::Number, 2},   {"BOLEN", K::Number, 2}, {"ODLEN", K::Number, 2},
    };
}

} // namespace arrowsel::records
