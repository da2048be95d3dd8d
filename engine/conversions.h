// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace arrowsel::engine {

// A text that is no number; what() is the message shown to the user.
class EConvertError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Locale-independent conversions with "." as decimal separator; nothing process-wide is used.
// toInteger: optional leading blanks, optional sign, decimal digits, nothing else; a value outside
// 32 bits is refused too. Throws "'<text>' is not a valid integer value".
int toInteger(std::string_view text);
// toNumber: leading and trailing blanks, then [sign] digits [. digits] [e [sign] digits] (at least
// one mantissa digit). Throws "'<text>' is not a valid floating point value".
double toNumber(std::string_view text);
// General format with up to 15 significant digits, as printf's "%.15g".
std::string numberText(double value);

} // namespace arrowsel::engine
