// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "records/book_address.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace arrowsel::records {

// The data folder's settings file, an INI file: `[section]` lines, `key=value` lines, blank lines
// and comments (`;` or `#` first). Of it the program reads the `book` line of `[customers]`: the
// address of a shared customer book. Other sections are left to other settings.
//
// Returns the address, or nothing when the file or the line is missing (the book is then the
// files of the folder). Throws EBookError naming the file and the line when the file cannot be
// read (also when it is a pipe, a folder or larger than 64 KiB, which are not waited on or read),
// a line is neither of the kinds above, `[customers]` holds a key other than `book` or holds
// it twice, or the address is not a `postgresql://` one, cannot be read or carries a password: the password
// belongs in the user's ~/.pgpass or a service file, never in a file the whole shop can read.
std::optional<std::string> configuredBookAddress(const std::filesystem::path& settingsFile);

} // namespace arrowsel::records
