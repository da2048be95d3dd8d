// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QString>

namespace arrowsel::ui {

// Dates and times as a locale writes them in its short formats (the order and separators a user
// of that locale reads on screen), with ASCII digits whatever digits the locale uses, so a page
// prints the same figures on every printer and font. In ui_services because the windows show
// these dates and the reports print them.
QString shortDate(const QLocale& locale, QDate date);
QString shortDateTime(const QLocale& locale, const QDateTime& when);

} // namespace arrowsel::ui
