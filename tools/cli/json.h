// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

namespace arrowsel::cli {

// The "version" field of the JSON documents: raised when a field changes its meaning or goes;
// a field added leaves it as it is.
inline constexpr int kJsonVersion = 1;

// Appends `text` (UTF-8) as a JSON string: quoted, with quotes, backslashes and control
// characters escaped.
void appendJsonString(std::string& out, std::string_view text);

} // namespace arrowsel::cli
