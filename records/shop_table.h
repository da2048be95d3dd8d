// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "data/dbf_table.h"

#include <vector>

namespace arrowsel::records {

// The layout of "SHOPINFO.DBF": what the reports read and what the shop window creates when a
// data folder has no shop table yet. Every field is text; the reports print all but ADDR2 and
// COUNTRY.
inline std::vector<data::TDbfTable::FieldSpec> shopTableFields() {
    using data::FieldType;
    return {{"NAME", FieldType::Character, 30},    {"ADDR1", FieldType::Character, 30},
            {"ADDR2", FieldType::Character, 30},   {"CITY", FieldType::Character, 18},
            {"STATE", FieldType::Character, 10},   {"ZIP", FieldType::Character, 10},
            {"COUNTRY", FieldType::Character, 12}, {"COMMENTS", FieldType::Character, 60},
            {"PHONE", FieldType::Character, 20},   {"FAX", FieldType::Character, 20}};
}

} // namespace arrowsel::records
