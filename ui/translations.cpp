// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/translations.h"

#include "ui/qt_text.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

// Resources of a static library must be registered by name, from the global namespace.
static void initTranslationResources() {
    Q_INIT_RESOURCE(translations);
}

namespace arrowsel::ui {

bool loadTranslation(QTranslator& translator, const QLocale& locale) {
    initTranslationResources();
    // The program's translations are built into it (see i18n/), so a moved or unpacked program
    // finds them as the installed one does.
    return translator.load(locale, QStringLiteral("arrowsel"), QStringLiteral("_"), QStringLiteral(":/i18n"));
}

QString installTranslations(QCoreApplication& app, const QLocale& locale) {
    auto* own = new QTranslator(&app);
    if (!loadTranslation(*own, locale)) {
        delete own;
        return {};
    }
    QCoreApplication::installTranslator(own);
    // Qt's texts only beside the program's own, so that a language the program does not speak
    // does not give an English window German buttons. Missing (qt6-translations-l10n not
    // installed), Qt's stay English.
    auto* qt = new QTranslator(&app);
    if (qt->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                 QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(qt);
    } else {
        delete qt;
    }
    return own->language().section(QLatin1Char('_'), 0, 0);
}

QString coreText(const char* context, const std::string& english) {
    if (english.empty()) {
        return {};
    }
    return QCoreApplication::translate(context, english.c_str());
}

} // namespace arrowsel::ui
