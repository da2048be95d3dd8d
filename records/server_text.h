// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace arrowsel::records {

// What of a field's text (UTF-8, as a book gives it) a customer book on a PostgreSQL server
// cannot hold as it stands, said for the user: a NUL (no server text holds one, and libpq would
// cut the text there), or one of the five bytes Windows-1252 leaves undefined (0x81, 0x8D, 0x8F,
// 0x90, 0x9D), which the files keep but PostgreSQL's WIN1252 has no character for. Nothing when
// the server holds the text byte for byte.
std::optional<std::string> textTheServerCannotHold(std::string_view utf8);

} // namespace arrowsel::records
