// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/cust_info.h"
#include "records/record_commands.h"
#include "tests/records/records_fixture.h"
#include "tests/support/pseudo_locale.h"

#include <QLabel>
#include <cerrno>
#include <fstream>

namespace arrowsel::test {
namespace {

using Group = MainWindowState::Group;
using Page = MainWindowState::Page;
using Kind = test::RecordingSeam::Kind;

class CustomerEntry : public RecordsTest {
protected:
    void fillAddress(records::TCustInfo& w, const QString& name) {
        type(child(w, "DBEdit1"), name);
        type(child(w, "DBEdit6"), QStringLiteral("12 Elm Road"));
        type(child(w, "DBEdit8"), QStringLiteral("Greenville"));
        type(child(w, "DBEdit9"), QStringLiteral("sc"));
    }

    void saveCustomer(const QString& name) {
        records::TCustInfo w(main);
        ASSERT_TRUE(w.FormActivate());
        fillAddress(w, name);
        click(w, "PostBtn");
        ASSERT_EQ(w.result(), QDialog::Accepted) << seam.texts(Kind::Message).join(QStringLiteral("|")).toStdString();
    }
};

TEST_F(CustomerEntry, targetRecurve_storesPageAndBowTypeAndShowsNotApplicable) {
    main.shownPage = Page::Targ;
    main.indexes[Group::TargBowType] = 1;
    main.indexes[Group::OverDraw] = 2;
    records::TCustInfo w(main);
    ASSERT_TRUE(w.FormActivate(QDate(2026, 3, 14)));
    EXPECT_EQ(child<QLabel>(w, "Label9")->text(), QStringLiteral("Recurve"));
    EXPECT_EQ(child<QLabel>(w, "Label16")->text(), QStringLiteral("N/A"));
    EXPECT_EQ(child<QLabel>(w, "Label27")->text(), QStringLiteral("100gr"));
    EXPECT_EQ(child<QLabel>(w, "Label17")->text(), QStringLiteral("Target Shafts"));
    fillAddress(w, QStringLiteral("Ann Archer"));
    EXPECT_EQ(textOf(w, "DBEdit9"), QStringLiteral("SC"));
    type(child(w, "DBMemo1"), QStringLiteral("Line one\nLine two"));
    click(w, "PostBtn");

    EXPECT_EQ(seam.texts(Kind::Message), QStringList{QStringLiteral("New record has been successfully added")});
    data::TDbfTable t;
    t.open(dir / "Saveddb.dbf");
    ASSERT_EQ(t.recordCount(), 1u);
    EXPECT_EQ(t.fieldText("HORT"), "1");
    EXPECT_EQ(t.fieldText("BOTYP"), "1");
    EXPECT_EQ(t.fieldText("ODLEN"), "2");
    EXPECT_EQ(t.fieldText("DATE"), "20260314");
    EXPECT_EQ(t.fieldText("STATE"), "SC        ");
    EXPECT_EQ(t.fieldText("COMMENTS"), "Line one\r\nLine two");
}

TEST_F(CustomerEntry, inAnotherLanguage_theSummarysWordsAreTranslated_figuresAndUnitsStay) {
    const PseudoLocale pseudo;
    main.indexes[Group::OverDraw] = 2;
    records::TCustInfo w(main);
    ASSERT_TRUE(w.FormActivate(QDate(2026, 3, 14)));
    EXPECT_EQ(child<QLabel>(w, "Label9")->text(), QStringLiteral("\u00abCompound\u00bb"));
    EXPECT_EQ(child<QLabel>(w, "Label15")->text(), QStringLiteral("\u00abOver 6.5\"\u00bb"));
    EXPECT_EQ(child<QLabel>(w, "Label17")->text(), QStringLiteral("\u00abHunting Shafts\u00bb"));
    EXPECT_EQ(child<QLabel>(w, "Label16")->text(), QStringLiteral("2\""));
    EXPECT_EQ(child<QLabel>(w, "Label24")->text(), QStringLiteral("60#"));
    EXPECT_EQ(child<QLabel>(w, "Label27")->text(), QStringLiteral("100gr"));
}

TEST_F(CustomerEntry, incompleteAddress_keepsTypingThenCompleteSaveAddsOnce) {
    records::TCustInfo w(main);
    ASSERT_TRUE(w.FormActivate());
    type(child(w, "DBEdit1"), QStringLiteral("Bo Bowman"));
    type(child(w, "DBEdit6"), QStringLiteral("3 Hill"));
    type(child(w, "DBEdit9"), QStringLiteral("TX"));
    click(w, "PostBtn");
    EXPECT_EQ(seam.texts(Kind::Message), QStringList{QStringLiteral("Incomplete address, cannot add record")});
    EXPECT_EQ(savedCount(), 0u);
    EXPECT_EQ(textOf(w, "DBEdit1"), QStringLiteral("Bo Bowman"));
    EXPECT_NE(w.result(), QDialog::Accepted);

    type(child(w, "DBEdit8"), QStringLiteral("Austin"));
    click(w, "PostBtn");
    EXPECT_EQ(savedCount(), 1u);
    EXPECT_EQ(namesInIndexOrder(), std::vector<std::string>{"Bo Bowman"});
}

TEST_F(CustomerEntry, successMessage_comesOnlyWhenTheRecordIsOnDisk) {
    std::uint32_t seenByAnotherCopy = 0;
    std::vector<std::string> indexSeen;
    seam.onBox = [&](const test::RecordingSeam::Entry&) {
        seenByAnotherCopy = savedCount();
        indexSeen = namesInIndexOrder();
    };
    saveCustomer(QStringLiteral("Cy Clark"));
    EXPECT_EQ(seenByAnotherCopy, 1u);
    EXPECT_EQ(indexSeen, std::vector<std::string>{"Cy Clark"});
}

TEST_F(CustomerEntry, sameNameTwice_keepsBothInNameOrder) {
    saveCustomer(QStringLiteral("Zed"));
    saveCustomer(QStringLiteral("Amy"));
    saveCustomer(QStringLiteral("Zed"));
    EXPECT_EQ(namesInIndexOrder(), (std::vector<std::string>{"Amy", "Zed", "Zed"}));
}

TEST_F(CustomerEntry, twoCopiesSavingAtTheSameMoment_bothKeepTheirRecords) {
    records::TCustInfo first(main);
    records::TCustInfo second(main);
    ASSERT_TRUE(first.FormActivate());
    ASSERT_TRUE(second.FormActivate());
    fillAddress(first, QStringLiteral("First Copy"));
    fillAddress(second, QStringLiteral("Second Copy"));
    click(second, "PostBtn");
    click(first, "PostBtn");
    EXPECT_EQ(namesInIndexOrder(), (std::vector<std::string>{"First Copy", "Second Copy"}));
}

TEST_F(CustomerEntry, characterTheTableCannotHold_isRefusedNamingTheFieldAndKeptOnScreen) {
    records::TCustInfo w(main);
    ASSERT_TRUE(w.FormActivate());
    fillAddress(w, QStringLiteral("Ola Nordmann"));
    type(child(w, "DBEdit8"), QStringLiteral(" \u0141\u00f3d\u017a"));
    click(w, "PostBtn");
    ASSERT_EQ(seam.texts(Kind::Message).size(), 1);
    EXPECT_TRUE(seam.texts(Kind::Message).front().contains(QStringLiteral("\"City\"")));
    EXPECT_EQ(savedCount(), 0u);
    EXPECT_EQ(textOf(w, "DBEdit8"), QStringLiteral("Greenville \u0141\u00f3d\u017a"));
}

TEST_F(CustomerEntry, stateIsUpperCasedWithinTheCodePage_aCapitalItCannotHoldStaysAsTyped) {
    records::TCustInfo w(main);
    ASSERT_TRUE(w.FormActivate());
    fillAddress(w, QStringLiteral("Mu Tester"));
    // The capital of the micro sign is Greek, which Windows-1252 lacks; that of ÿ is in it.
    type(child(w, "DBEdit9"), QStringLiteral(" \u00b5\u00ff\u00e9"));
    EXPECT_EQ(textOf(w, "DBEdit9"), QStringLiteral("SC \u00b5\u0178\u00c9"));
    click(w, "PostBtn");
    EXPECT_EQ(seam.texts(Kind::Message), QStringList{QStringLiteral("New record has been successfully added")});
    data::TDbfTable t;
    t.open(dir / "Saveddb.dbf");
    EXPECT_EQ(data::trimTrailingSpaces(t.fieldText("STATE")), "SC \u00b5\u0178\u00c9");
}

TEST_F(CustomerEntry, dateShowsTheLocalesShortDate_withAsciiDigits) {
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
    records::TCustInfo gb(main);
    ASSERT_TRUE(gb.FormActivate(QDate(2026, 12, 8)));
    QLocale::setDefault(QLocale(QLocale::Persian, QLocale::Iran));
    records::TCustInfo fa(main);
    ASSERT_TRUE(fa.FormActivate(QDate(2026, 12, 8)));
    QLocale::setDefault(saved);
    EXPECT_EQ(child<QLabel>(gb, "DBText1")->text(), QStringLiteral("08/12/2026"));
    EXPECT_EQ(child<QLabel>(fa, "DBText1")->text(), QStringLiteral("2026/12/8"));
}

TEST_F(CustomerEntry, closeAfterTyping_asksAndStoresNothing) {
    records::TCustInfo w(main);
    ASSERT_TRUE(w.FormActivate());
    fillAddress(w, QStringLiteral("Never Saved"));
    int closed = 0;
    QObject::connect(&w, &QDialog::finished, [&closed] { ++closed; });
    seam.answers = {false};
    click(w, "ExitBtn");
    EXPECT_EQ(closed, 0);
    EXPECT_EQ(textOf(w, "DBEdit1"), QStringLiteral("Never Saved"));
    seam.answers = {true};
    click(w, "ExitBtn");
    EXPECT_EQ(closed, 1);
    EXPECT_EQ(seam.texts(Kind::Question).size(), 2);
    EXPECT_EQ(savedCount(), 0u);
}

TEST_F(CustomerEntry, editsAreLimitedToTheirFieldWidths) {
    records::TCustInfo w(main);
    ASSERT_TRUE(w.FormActivate());
    EXPECT_EQ(child<QLineEdit>(w, "DBEdit1")->maxLength(), 40);
    EXPECT_EQ(child<QLineEdit>(w, "DBEdit9")->maxLength(), 10);
    EXPECT_EQ(child<QLineEdit>(w, "DBEdit1")->accessibleName(), QStringLiteral("Name"));
}

// The comments take what the lookup lays out in a blink: what is pasted or typed past 32,000
// characters is left out, the note below them says so, and the record keeps the first 32,000.
TEST_F(CustomerEntry, commentsPastTheirLimit_areLeftOutAndTheWindowSaysSo) {
    records::TCustInfo w(main);
    ASSERT_TRUE(w.FormActivate());
    fillAddress(w, QStringLiteral("Long Talker"));
    auto* memo = child<QPlainTextEdit>(w, "DBMemo1");
    EXPECT_FALSE(child<QLabel>(w, "CommentsNote")->isVisibleTo(&w));
    memo->insertPlainText(QString(31990, QLatin1Char('p')));
    EXPECT_FALSE(child<QLabel>(w, "CommentsNote")->isVisibleTo(&w));
    type(memo, QStringLiteral("abcdefghijklmnopqrstuvwxyz"));
    EXPECT_EQ(memo->toPlainText(), QString(31990, QLatin1Char('p')) + QStringLiteral("abcdefghij"));
    EXPECT_TRUE(child<QLabel>(w, "CommentsNote")->isVisibleTo(&w));
    EXPECT_TRUE(child<QLabel>(w, "CommentsNote")->text().contains(QStringLiteral("at most 32,000 characters")));
    memo->insertPlainText(QString(5000, QLatin1Char('q'))); // a paste past the limit
    EXPECT_EQ(memo->toPlainText().size(), records::kCommentLimit);
    click(w, "PostBtn");
    ASSERT_EQ(w.result(), QDialog::Accepted);
    data::TDbfTable t;
    t.open(dir / "Saveddb.dbf", data::TDbfTable::OpenMode::ReadOnly);
    EXPECT_EQ(t.fieldText("COMMENTS"), std::string(31990, 'p') + "abcdefghij");
}

TEST_F(CustomerEntry, saveSetupCommand_opensTheWindowModally) {
    records::saveSetup(nullptr, main);
    EXPECT_EQ(seam.dialogs, QStringList{QStringLiteral("TCustInfo")});
    EXPECT_EQ(savedCount(), 0u);
}

TEST_F(CustomerEntry, missingIndex_isBuiltFromTheTableWhenTheWindowOpens_andTheUserIsTold) {
    saveCustomer(QStringLiteral("Zed Last"));
    std::filesystem::remove(dir / "Saved.idx");
    seam.entries.clear();
    saveCustomer(QStringLiteral("Al First"));
    const QStringList told = seam.texts(Kind::Information);
    ASSERT_EQ(told.size(), 1);
    EXPECT_TRUE(told.front().contains(QString::fromStdString((dir / "Saved.idx").string())))
        << told.front().toStdString();
    EXPECT_TRUE(told.front().contains(QStringLiteral("was missing"))) << told.front().toStdString();
    EXPECT_EQ(namesInIndexOrder(), (std::vector<std::string>{"Al First", "Zed Last"}));
}

TEST_F(CustomerEntry, diskFullWhileSaving_saysNotSaved_andSavingAgainStoresTheCustomerOnce) {
    BookFaults faults;
    records::TCustInfo w(main);
    ASSERT_TRUE(w.FormActivate(QDate::currentDate(), faults.open(w, dir.path())));
    fillAddress(w, QStringLiteral("Di Disk"));
    faults.atIndexIo(1, ENOSPC); // the save's first index write fails as on a full disk
    click(w, "PostBtn");
    faults.disarm();
    ASSERT_EQ(seam.texts(Kind::Error).size(), 1);
    EXPECT_TRUE(seam.texts(Kind::Error).front().contains(QStringLiteral("Save Record again")));
    EXPECT_EQ(savedCount(), 0u);
    EXPECT_NE(w.result(), QDialog::Accepted);

    click(w, "PostBtn");
    EXPECT_EQ(w.result(), QDialog::Accepted);
    EXPECT_EQ(savedCount(), 1u);
    EXPECT_EQ(namesInIndexOrder(), std::vector<std::string>{"Di Disk"});
}

TEST_F(CustomerEntry, damagedIndex_isRebuiltWhenTheWindowOpens_andTheUserIsToldOnce) {
    saveCustomer(QStringLiteral("Ed Early"));
    {
        std::fstream f(dir / "Saved.idx", std::ios::in | std::ios::out | std::ios::binary);
        f.seekp(0);
        f.write(std::string(1024, '\xEE').data(), 1024); // the header, expression and all
    }
    seam.entries.clear();
    saveCustomer(QStringLiteral("Al Later"));
    const QStringList told = seam.texts(Kind::Information);
    ASSERT_EQ(told.size(), 1);
    EXPECT_TRUE(told.front().contains(QStringLiteral("Saved.idx"))) << told.front().toStdString();
    EXPECT_TRUE(told.front().contains(QStringLiteral("rebuilt"))) << told.front().toStdString();
    EXPECT_EQ(namesInIndexOrder(), (std::vector<std::string>{"Al Later", "Ed Early"}));

    seam.entries.clear();
    saveCustomer(QStringLiteral("Bo Third"));
    EXPECT_TRUE(seam.texts(Kind::Information).isEmpty());
}

} // namespace
} // namespace arrowsel::test
