// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "data/codepage.h"
#include "data/field.h"
#include "data/key_expression_tree.h"

#include <memory>
#include <span>
#include <string>
#include <string_view>

// The grammar of an index key expression: a sum of primaries joined by "+" and "-", where a
// primary is a field name, a string literal in single or double quotes, a number, a unary minus,
// a parenthesised sum, or a call NAME(arg, ...). Names of fields and functions are case
// insensitive and a function name may be cut to four letters or more ("UPPE(NAME)"). Texts join
// texts, numbers add to numbers and to dates, and a date less a date is a number; any other mix is
// refused. The counts of SUBSTR, LEFT, RIGHT, PADR and STR must be constant numbers (strictly
// between -1e6 and 1e6, rounded down to whole numbers), since they fix the key's width.
namespace arrowsel::data {

// Compiles `text` against the table's `fields` into the tree the evaluator walks. Throws
// ETableError, as refuseKeyExpression() words it, when the text is malformed, names an unknown
// field or a field of a type no key holds, or uses an unsupported function.
std::unique_ptr<key_tree::Node> parseKeyExpression(std::string_view text, std::span<const FieldDef> fields, CodePage cp,
                                                   std::string_view fileName);

// Throws ETableError "Unsupported key expression "X" in index file F: why." (without the file
// part when `fileName` is empty).
[[noreturn]] void refuseKeyExpression(std::string_view text, std::string_view fileName, const std::string& why);

} // namespace arrowsel::data
