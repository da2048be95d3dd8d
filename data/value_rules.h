// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string_view>

// What counts as a number and as a date in a table's stored text: one set of rules for the field
// codec (reading and storing fields) and the key expressions (the keys an index holds), so that a
// value one of them refuses the other does not take. Conversions never depend on the locale.
namespace arrowsel::data::value_rules {

// A decimal number with optional blanks (and NULs) around it and an optional sign; "1.5",
// "-.5", "2e3". Anything after the number (trailing junk such as "12x"), an empty text, or a
// value that is not finite gives nullopt.
std::optional<double> parseNumber(std::string_view text);

// The Gregorian calendar: every fourth year is a leap year, except the centuries that 400 does
// not divide (1900 and 2100 are not, 2000 is).
bool isLeapYear(int year);
// A day of the years 1 to 9999.
bool validDate(int year, int month, int day);

struct Date {
    int year = 0;
    int month = 0;
    int day = 0;
};
// A stored date "YYYYMMDD": exactly eight digits naming a valid day; nullopt otherwise.
std::optional<Date> parseDate(std::string_view digits);

} // namespace arrowsel::data::value_rules
