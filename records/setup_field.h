// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "data/codepage.h"

#include <functional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace arrowsel::records {

// What a field of a saved setup holds, as a customer book keeps it. Both books keep the same
// fields under the same limits, so a record moves between them unchanged.
enum class SetupFieldKind {
    Text,     // at most `width` bytes in the book's code page, padded with blanks to that width
    Number,   // a decimal number of at most `width` characters with `decimals` after the point
    Date,     // "YYYYMMDD", or empty
    Flag,     // "T", "F" or empty
    Comments, // any length of text the code page holds
};

struct SetupField {
    std::string name; // upper case, as "Saveddb.dbf" names it
    SetupFieldKind kind = SetupFieldKind::Text;
    int width = 0;
    int decimals = 0;
};

// One field of a record and its text (UTF-8).
struct FieldValue {
    std::string name;
    std::string text;
    friend bool operator==(const FieldValue&, const FieldValue&) = default;
};

// A record as a book gives it: every field of the book in its order, each as the book stores it
// (texts padded to their width, numbers as their stored text, dates "YYYYMMDD", the comments
// whole unless `cut` names them). Empty at the end of the book.
struct SavedRecord {
    std::vector<FieldValue> fields;
    // Comments read only in part (longer than the program reads): shown, never written back.
    std::set<std::string, std::less<>> cut;

    // The field's text; empty for a field the record does not have. Names match in any case.
    std::string text(std::string_view field) const;
    bool textCut(std::string_view field) const { return cut.find(field) != cut.end(); }
};

// The rule every book stores by: the text `typed` becomes in `field`, which is what the book gives
// back once the record is stored. Throws EBookError naming the field and `table` when the field
// cannot hold it (too long, not a number or a date of the field, a character outside the code page).
std::string storedText(const SetupField& field, std::string_view typed, data::CodePage cp, const std::string& table);

bool sameFieldName(std::string_view a, std::string_view b);

} // namespace arrowsel::records
