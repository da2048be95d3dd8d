#include "records/cust_info.h"
#include "records/get_cust.h"
#include "records/shop_inf.h"
#include "tests/records/records_fixture.h"

#include <QAbstractButton>
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

} // namespace
} // namespace arrowsel::test
