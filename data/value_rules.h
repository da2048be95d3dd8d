// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>

// What counts as a number and as a date in a table's stored text, and how each is written back as
// text: one set of rules for the field codec (reading and storing fields) and the key expressions
// (the keys an index holds), so that a value one of them refuses the other does not take, and a
// stored number or date reads back through a key's STR() or DTOS() as its stored text. A stored
// date is "YYYYMMDD"; a key holds a date as its Julian day number (2000-01-01 is 2451545). Numbers
// are written with "." as the decimal point and never as a negative zero. The two roundings differ,
// and both stay as they are: a stored number is rounded correctly from the double, as printf-style
// formatting does, while STR() rounds half away from zero, which the keys already written to index
// files hold. Conversions never depend on the locale.
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
// The stored form of a valid date: eight digits, "YYYYMMDD".
std::string dateDigits(const Date& date);

// The Julian day number of a valid date.
long long julianDay(const Date& date);
// The day a Julian day number names (a fraction of a day is dropped); nullopt outside the years
// 1 to 9999, and for NaN.
std::optional<Date> dateOfJulianDay(double day);

// A finite `value` with exactly `decimals` decimals, correctly rounded from the double ("12.50",
// "-3", "0.00" for -0.001): the stored form of a number, without the blanks that right-align it.
// Empty when the text would be longer than 512 characters (a hostile count of decimals).
std::string decimalText(double value, int decimals);
// STR(value, width, decimals): right-aligned in `width` (0 or less: empty) with `decimals` (0 to
// 18) decimals, rounded half away from zero on the decimal value, so that 2.675 gives "2.68"
// although the double lies below it; with fewer decimals when the number does not fit, and
// `width` asterisks when its integer part does not fit or it is not finite.
std::string strText(double value, int width, int decimals);

} // namespace arrowsel::data::value_rules
