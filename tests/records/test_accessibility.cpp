// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/cust_info.h"
#include "records/get_cust.h"
#include "records/shop_inf.h"
#include "tests/records/records_fixture.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QLabel>
#include <QPlainTextEdit>

namespace arrowsel::test {
namespace {

void expectEveryControlNamed(QWidget& window) {
    for (QWidget* w : window.findChildren<QWidget*>()) {
        QString name = w->accessibleName();
        if (auto* b = qobject_cast<QAbstractButton*>(w); b != nullptr && name.isEmpty()) {
            name = b->text();
        }
        if (qobject_cast<QAbstractButton*>(w) || qobject_cast<QLineEdit*>(w) || qobject_cast<QPlainTextEdit*>(w)) {
            EXPECT_FALSE(name.isEmpty()) << window.objectName().toStdString() << "/" << w->objectName().toStdString();
            EXPECT_NE(w->focusPolicy() & Qt::TabFocus, 0) << w->objectName().toStdString();
        }
    }
}

TEST_F(RecordsTest, everyControlOfTheThreeWindows_hasANameForScreenReadersAndTakesKeyboardFocus) {
    addRecord({{"NAME", "Someone"}});
    records::TShopInf shopWindow(main);
    shopWindow.FormActivate();
    expectEveryControlNamed(shopWindow);
    records::TCustInfo entry(main);
    ASSERT_TRUE(entry.FormActivate());
    expectEveryControlNamed(entry);
    records::TGetCust lookup(main);
    ASSERT_TRUE(lookup.FormActivate());
    expectEveryControlNamed(lookup);
}

// The lookup's summary of the saved setup: each value is read as it stands on the record shown.
TEST_F(RecordsTest, summaryValuesOfTheLookupAndEntryWindows_areReadAsShown) {
    addRecord({{"NAME", "Adams"}, {"BOWWT", "45"}, {"BOTYP", "2"}});
    addRecord({{"NAME", "Baker"}, {"BOWWT", "62"}, {"BOTYP", "0"}});
    records::TGetCust lookup(main);
    ASSERT_TRUE(lookup.FormActivate());
    auto read = [](QWidget& w, const char* name, QAccessible::Text t = QAccessible::Name) {
        auto* label = w.findChild<QLabel*>(QString::fromLatin1(name));
        EXPECT_NE(label, nullptr) << name;
        return label ? QAccessible::queryAccessibleInterface(label)->text(t) : QString();
    };
    EXPECT_EQ(read(lookup, "Label24"), QStringLiteral("45#"));
    EXPECT_EQ(read(lookup, "Label24", QAccessible::Description), QStringLiteral("Bow Weight"));
    EXPECT_EQ(read(lookup, "Label9"), QStringLiteral("Longbow"));
    EXPECT_EQ(read(lookup, "Label17"), QStringLiteral("Hunting Shafts"));
    lookup.DBNavigator1Click(records::TGetCust::NavButton::Next);
    EXPECT_EQ(read(lookup, "Label24"), QStringLiteral("62#"));

    records::TCustInfo entry(main);
    ASSERT_TRUE(entry.FormActivate());
    auto* date = entry.findChild<QLabel*>(QStringLiteral("DBText1"));
    ASSERT_NE(date, nullptr);
    EXPECT_FALSE(date->text().isEmpty());
    EXPECT_EQ(read(entry, "DBText1"), date->text());
    EXPECT_EQ(read(entry, "DBText1", QAccessible::Description), QStringLiteral("Date"));
}

} // namespace
} // namespace arrowsel::test
