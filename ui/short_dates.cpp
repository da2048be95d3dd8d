// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/short_dates.h"

namespace arrowsel::ui {

namespace {

QString asciiDigits(QString text) {
    for (QChar& c : text) {
        if (c.unicode() > 0x7F && c.isDigit()) {
            c = QChar(u'0' + c.digitValue());
        }
    }
    return text;
}

} // namespace

QString shortDate(const QLocale& locale, QDate date) {
    return asciiDigits(locale.toString(date, QLocale::ShortFormat));
}

QString shortDateTime(const QLocale& locale, const QDateTime& when) {
    return asciiDigits(locale.toString(when.date(), QLocale::ShortFormat) + u' ' +
                       locale.toString(when.time(), QLocale::ShortFormat));
}

} // namespace arrowsel::ui
