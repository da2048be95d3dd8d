// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "data/dbf_header.h"
#include "data/dbf_table.h"
#include "records/setup_field.h"

namespace arrowsel::records {

// How the customer files declare the fields of a saved setup: the DBF type that keeps each kind,
// and the kind a table's field keeps (a shop's own table may use F, I or B for a number, and G or
// P beside M; they read as numbers and comments).
inline data::FieldType fileFieldType(SetupFieldKind kind) {
    switch (kind) {
    case SetupFieldKind::Number:
        return data::FieldType::Numeric;
    case SetupFieldKind::Date:
        return data::FieldType::Date;
    case SetupFieldKind::Flag:
        return data::FieldType::Logical;
    case SetupFieldKind::Comments:
        return data::FieldType::Memo;
    case SetupFieldKind::Text:
        break;
    }
    return data::FieldType::Character;
}

inline data::TDbfTable::FieldSpec fileFieldSpec(const SetupField& field) {
    const data::FieldType type = fileFieldType(field.kind);
    return {field.name, type, type == data::FieldType::Memo ? 10 : field.width, field.decimals};
}

inline SetupField setupFieldOf(const data::FieldDef& field) {
    using data::FieldType;
    if (data::isMemoPointer(field) || field.type == FieldType::Memo) {
        return {field.name, SetupFieldKind::Comments, 0, 0};
    }
    switch (field.type) {
    case FieldType::Numeric:
    case FieldType::Float:
    case FieldType::Integer:
    case FieldType::Binary:
        return {field.name, SetupFieldKind::Number, field.width, field.decimals};
    case FieldType::Date:
        return {field.name, SetupFieldKind::Date, field.width, 0};
    case FieldType::Logical:
        return {field.name, SetupFieldKind::Flag, field.width, 0};
    default:
        return {field.name, SetupFieldKind::Text, field.width, 0};
    }
}

} // namespace arrowsel::records
