// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Text helpers every layer shares. They sit in data/, the lowest layer, so that the table engine,
// the run, the CLI and the windows trim and cut alike without Qt. "Blank" means different things
// in different places, so each trim says which characters it removes:
// - spaces: ' ' only; what a user's text or a key expression's TRIM() removes;
// - spaces and NULs: the padding of a stored field (some writers fill with NUL bytes);
// - controls and spaces: every byte up to and including ' ' (tabs, CR, LF too); chart cells,
//   where a maker's file may carry stray line ends or tabs.
// The trims return views into their argument: keep the argument alive while the view is used.

// Marks an English text the core hands the windows, so that the translation tools find it; the
// windows show it through ui::coreText(context, text). The CLI prints it as it stands.
#define ARROWSEL_TR_NOOP(context, text) text

namespace arrowsel::data {

std::string_view trimSpaces(std::string_view text);
std::string_view trimSpacesAndNuls(std::string_view text);
std::string_view trimControlsAndSpaces(std::string_view text);
std::string_view trimTrailingSpaces(std::string_view text);

// Removes up to 15 characters from the first `mark` on, as the classic shown texts are cut ("2213
// (32in)" at the blank, "3.75" at the dot); a text without the mark stays whole.
std::string cutAtMark(std::string text, char mark);

// The length (1 to 4) of the well-formed UTF-8 sequence at `at`, its code point in `c`; 0 when the
// bytes there are none: a stray continuation byte, an overlong form, a surrogate, a code point past
// U+10FFFF, or a sequence the text ends inside.
std::size_t utf8SequenceAt(std::string_view text, std::size_t at, char32_t& c);
bool isValidUtf8(std::string_view text);
// Characters in a UTF-8 text (lead bytes counted; the text is taken as valid).
std::size_t utf8Length(std::string_view text);

} // namespace arrowsel::data
