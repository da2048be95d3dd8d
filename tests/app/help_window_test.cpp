// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/help_window.h"
#include "ui/translations.h"

#include <QCoreApplication>
#include <QLocale>
#include <QPushButton>
#include <QTest>
#include <QTranslator>
#include <gtest/gtest.h>

namespace arrowsel::app {
namespace {

// The pages follow the installed translation: German windows get the German pages, and the links
// between them stay in German; without a translation the English pages are shown.
TEST(HelpWindowTest, showsThePagesInTheLanguageOfTheInstalledTranslation) {
    {
        THelpWindow window;
        window.showTopic(2);
        EXPECT_EQ(window.browser()->source(), QUrl(QStringLiteral("qrc:/help/reading_the_chart.html")));
        window.showTopic(1);
        EXPECT_EQ(window.browser()->source(), QUrl(QStringLiteral("qrc:/help/tuning.html")));
        EXPECT_TRUE(window.browser()->toPlainText().contains(QStringLiteral("Paper tuning")));
    }

    QTranslator german;
    ASSERT_TRUE(ui::loadTranslation(german, QLocale(QLocale::German, QLocale::Germany)));
    QCoreApplication::installTranslator(&german);
    THelpWindow window;
    window.showTopic(1);
    const QString tuning = window.browser()->toPlainText();
    const QUrl tuningSource = window.browser()->source();
    window.showTopic(2);
    const QString reading = window.browser()->toPlainText();
    // Following the page's first link, back to the tuning page.
    window.show();
    QTest::keyClick(window.browser(), Qt::Key_Tab);
    QTest::keyClick(window.browser(), Qt::Key_Return);
    const QUrl linked = window.browser()->source();
    const QString title = window.windowTitle();
    const QString close = window.findChild<QPushButton*>(QStringLiteral("HelpCloseBtn"))->text();
    QCoreApplication::removeTranslator(&german);

    EXPECT_EQ(tuningSource, QUrl(QStringLiteral("qrc:/help/de/tuning.html")));
    EXPECT_TRUE(tuning.contains(QStringLiteral("Papiertest")));
    EXPECT_EQ(linked, tuningSource);
    EXPECT_TRUE(reading.contains(QStringLiteral("Farben der Seite Jagd")));
    EXPECT_EQ(title, QStringLiteral("Tuning-Informationen"));
    EXPECT_EQ(close, QStringLiteral("&Schließen"));
}

} // namespace
} // namespace arrowsel::app
