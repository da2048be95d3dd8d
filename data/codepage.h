// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace arrowsel::data {

// The code pages a table may be written in, named by the mark in byte 29 of its header.
// Text reaches callers as UTF-8; it is stored in the table's code page. A mark the engine does not
// know (0x00 among them) is read as Windows-1252, the code page of every table we write.
enum class CodePage : std::uint8_t {
    Windows1252 = 0x03,
    Dos437 = 0x01,
    Dos850 = 0x02,
};

// The code page named by a header mark; unknown marks give Windows1252.
CodePage codePageFromMark(std::uint8_t mark);
const char* codePageName(CodePage cp);

// Stored bytes to UTF-8. Never fails: every byte of these code pages has a character.
std::string decodeText(CodePage cp, std::string_view bytes);

// UTF-8 to stored bytes. Returns false (and leaves `out` unspecified) when the text is not valid
// UTF-8 or holds a character the code page cannot store; `badChar` then receives that character
// as UTF-8 so the caller can name it. Nothing is ever replaced.
bool encodeText(CodePage cp, std::string_view utf8, std::string& out, std::string* badChar = nullptr);

// Case mapping of one stored byte, as the key expressions UPPER() and LOWER() need it.
unsigned char upperByte(CodePage cp, unsigned char b);
unsigned char lowerByte(CodePage cp, unsigned char b);

} // namespace arrowsel::data
