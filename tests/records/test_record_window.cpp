// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/cust_info.h"
#include "records/get_cust.h"
#include "records/shop_inf.h"
#include "tests/records/records_fixture.h"

#include <QTest>

namespace arrowsel::test {
namespace {

using Kind = test::RecordingSeam::Kind;

// The customer and shop windows leave the same way whichever way out the user takes: the window's
// own Close/Exit button, Escape, or the title bar's close button.
class RecordWindowExits : public RecordsTest {
protected:
    RecordWindowExits() { addRecord({{"NAME", "Adams"}}); }

    // Types into the name, then tries Escape and the title bar (answering No), then the exit
    // button (answering Yes). Each asks the exit button's question and only the last one closes.
    void checkEveryWayOutAsks(QDialog& w, const char* exitButton) {
        w.show();
        type(child(w, "DBEdit1"), QStringLiteral("Typed"));
        const QString typed = textOf(w, "DBEdit1");

        seam.answers = {false, false};
        QTest::keyClick(&w, Qt::Key_Escape);
        w.close();
        EXPECT_TRUE(w.isVisible());
        EXPECT_EQ(textOf(w, "DBEdit1"), typed);

        seam.answers = {true};
        click(w, exitButton);
        EXPECT_FALSE(w.isVisible());
        const QStringList asked = seam.texts(Kind::Question);
        ASSERT_EQ(asked.size(), 3);
        EXPECT_EQ(asked[0], asked[2]);
        EXPECT_EQ(asked[1], asked[2]);
        EXPECT_TRUE(seam.texts(Kind::Error).isEmpty());
    }

    // Nothing typed: Escape closes at once, with no question.
    void checkUntouchedClosesQuietly(QDialog& w) {
        w.show();
        QTest::keyClick(&w, Qt::Key_Escape);
        EXPECT_FALSE(w.isVisible());
        EXPECT_TRUE(seam.texts(Kind::Question).isEmpty());
    }
};

TEST_F(RecordWindowExits, customerEntry_everyWayOutAsksBeforeDroppingTyping) {
    records::TCustInfo w(main);
    ASSERT_TRUE(w.FormActivate());
    checkEveryWayOutAsks(w, "ExitBtn");
    EXPECT_EQ(savedCount(), 1u);
}

TEST_F(RecordWindowExits, customerLookup_everyWayOutAsksBeforeDroppingTyping) {
    records::TGetCust w(main);
    ASSERT_TRUE(w.FormActivate());
    checkEveryWayOutAsks(w, "ExitBtn");
    EXPECT_EQ(namesInIndexOrder(), std::vector<std::string>{"Adams"});
}

TEST_F(RecordWindowExits, shopInformation_everyWayOutAsksBeforeDroppingTyping) {
    records::TShopInf w(main);
    w.FormActivate();
    checkEveryWayOutAsks(w, "ShopInfExitBtn");
}

TEST_F(RecordWindowExits, untouchedWindows_closeWithoutAsking) {
    records::TCustInfo entry(main);
    ASSERT_TRUE(entry.FormActivate());
    checkUntouchedClosesQuietly(entry);
    records::TGetCust lookup(main);
    ASSERT_TRUE(lookup.FormActivate());
    checkUntouchedClosesQuietly(lookup);
    records::TShopInf shop(main);
    shop.FormActivate();
    checkUntouchedClosesQuietly(shop);
}

} // namespace
} // namespace arrowsel::test
