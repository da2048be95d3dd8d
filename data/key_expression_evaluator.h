// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "data/codepage.h"
#include "data/key_expression_tree.h"

#include <string_view>

namespace arrowsel::data {

// Evaluates a compiled key expression against one record's bytes (deletion flag first). Fields
// read as the table reads them: N and F text that is no number counts as 0, a D field that is no
// valid "YYYYMMDD" as the empty date (Julian day 0), I as a little-endian int32, L as "T" for
// T/t/Y/y and "F" otherwise; a record shorter than a field needs reads as blanks past its end.
// Arithmetic on an empty date stays empty. UPPER and LOWER map bytes in the table's code page;
// STR and DTOS write numbers and dates by the shared value rules (data/value_rules.h). Never
// throws for any record bytes.
class KeyExpressionEvaluator {
public:
    explicit KeyExpressionEvaluator(CodePage cp) : cp_(cp) {}

    // The value of `node` for `record`, into `out` (its text or number replaced).
    void evaluate(const key_tree::Node& node, std::string_view record, key_tree::Value& out) const;

private:
    CodePage cp_;
};

} // namespace arrowsel::data
