// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>

namespace arrowsel::engine {

// The message file could not be read; ends the run like any other input and output error.
class ENoticeFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

inline constexpr std::size_t kMaxNoticeChars = 150;

// The out-of-range notice: the first line of "invsel.txt" in `folder` (name matched without regard
// to letter case), at most kMaxNoticeChars characters, as UTF-8 (a file that is not UTF-8 is read
// as Windows-1252; a byte-order mark and a CR before the line end are dropped). Only the bytes
// those characters can take are read, so a file without a line end costs nothing however large.
// Throws ENoticeFileError when the file is missing, is not a regular file (a pipe is refused, not
// waited on) or cannot be read.
std::string readNotice(const std::filesystem::path& folder);

} // namespace arrowsel::engine
