// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLocale>
#include <QString>
#include <string>

class QCoreApplication;
class QTranslator;

namespace arrowsel::ui {

// Installs the program's translation for the first of the locale's languages that has one, with
// Qt's own (the standard buttons of a box, a print dialog) in the same language. English, the
// language the texts are written in, needs none. Numbers are not touched: they keep "." whatever
// the language. Returns the language installed ("de"), or empty when the program stays English.
QString installTranslations(QCoreApplication& app, const QLocale& locale = QLocale::system());

// Loads the program's own translation for the locale into `translator`; false when there is none.
bool loadTranslation(QTranslator& translator, const QLocale& locale);

// A text the Qt-free layers give the windows in English (marked there with ARROWSEL_TR_NOOP), in
// the installed language.
QString coreText(const char* context, const std::string& english);

} // namespace arrowsel::ui
