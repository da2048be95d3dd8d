// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

namespace arrowsel::cli {

// Appends `text` (UTF-8) as a JSON string: quoted, with quotes, backslashes and control
// characters escaped.
void appendJsonString(std::string& out, std::string_view text);

} // namespace arrowsel::cli
