// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/get_cust.h"
#include "records/record_commands.h"
#include "tests/records/records_fixture.h"
#include "tests/support/file_bytes.h"

#include <QLabel>
#include <QTextDocument>
#include <fstream>

namespace arrowsel::test {
namespace {

using Group = MainWindowState::Group;
using Page = MainWindowState::Page;
using Edit = MainWindowState::Edit;
using Kind = test::RecordingSeam::Kind;
using Nav = records::TGetCust::NavButton;

class CustomerLookup : public RecordsTest {
protected:
    CustomerLookup() {
        addRecord({{"NAME", "Miller, Jo"}, {"HORT", "1"}, {"BOTYP", "1"}, {"ODLEN", "3"}, {"CITY", "Boston"}});
        addRecord({{"NAME", "Adams"}, {"HORT", "0"}, {"BOTYP", "2"}, {"BOWWT", "45"}, {"ODLEN", "0"}});
        addRecord(
            {{"NAME", "\u00c9mile \"Bud\" Pe\u00f1a"}, {"HORT", "2"}, {"BOTYP", "0"}, {"COMMENTS", "Left\r\nhanded"}});
        addRecord({{"NAME", "Young"}, {"HORT", ""}, {"BOTYP", "1"}, {"RETYP", ""}});
    }

    QString label(QWidget& w, const char* name) { return child<QLabel>(w, name)->text(); }
};

TEST_F(CustomerLookup, opensOnTheFirstNameAndBrowsesInNameOrder) {
    records::TGetCust w(main);
    ASSERT_TRUE(w.FormActivate());
    EXPECT_EQ(textOf(w, "DBEdit1"), QStringLiteral("Adams"));
    EXPECT_EQ(label(w, "Label24"), QStringLiteral("45#"));
    EXPECT_EQ(label(w, "Label9"), QStringLiteral("Longbow"));
    EXPECT_EQ(label(w, "Label16"), QStringLiteral("None"));
    EXPECT_EQ(label(w, "Label17"), QStringLiteral("Hunting Shafts"));

    w.DBNavigator1Click(Nav::Next);
    EXPECT_EQ(textOf(w, "DBEdit1"), QStringLiteral("Miller, Jo"));
    EXPECT_EQ(label(w, "Label16"), QStringLiteral("3\""));
    EXPECT_EQ(label(w, "Label27"), QStringLiteral("125Gr"));
    w.DBNavigator1Click(Nav::Last);
    EXPECT_EQ(textOf(w, "DBEdit1"), QStringLiteral("\u00c9mile \"Bud\" Pe\u00f1a"));
    EXPECT_EQ(textOf(w, "DBMemo1"), QStringLiteral("Left\nhanded"));
    w.DBNavigator1Click(Nav::Next);
    EXPECT_EQ(textOf(w, "DBEdit1"), QStringLiteral("\u00c9mile \"Bud\" Pe\u00f1a"));
    w.DBNavigator1Click(Nav::Prior);
    EXPECT_EQ(textOf(w, "DBEdit1"), QStringLiteral("Young"));
    EXPECT_EQ(label(w, "Label17"), QString());
    EXPECT_EQ(child<QPushButton>(w, "nbCancel")->toolTip(), QStringLiteral("Cancel changes "));
}

// A memo pointer that leads past the end of Saveddb.fpt: every command that reaches that record
// says so in the error box and the window goes on working.
TEST_F(CustomerLookup, damagedMemoPointer_errorBoxOnNextSearchAndCancel_windowStaysUsable) {
    {
        data::TDbfTable t;
        t.open(dir / "Saveddb.dbf", data::TDbfTable::OpenMode::ReadOnly);
        std::fstream f(dir / "Saveddb.dbf", std::ios::in | std::ios::out | std::ios::binary);
        unsigned char length[2] = {};
        f.seekg(8);
        f.read(reinterpret_cast<char*>(length), 2);
        const std::streamoff header = length[0] | length[1] << 8;
        // Record 1 is "Miller, Jo", second in name order.
        f.seekp(header + t.fieldDef("COMMENTS")->offset);
        f.write("    999999", 10);
    }
    records::TGetCust w(main);
    ASSERT_TRUE(w.FormActivate());
    EXPECT_EQ(textOf(w, "DBEdit1"), QStringLiteral("Adams"));

    click(w, "nbNext");
    ASSERT_EQ(seam.texts(Kind::Error).size(), 1);
    EXPECT_TRUE(seam.texts(Kind::Error)[0].contains(QStringLiteral("Saveddb.fpt")))
        << seam.texts(Kind::Error)[0].toStdString();
    EXPECT_EQ(textOf(w, "DBEdit1"), QString());
    EXPECT_TRUE(child<QLineEdit>(w, "DBEdit1")->isReadOnly());

    click(w, "nbCancel");
    EXPECT_EQ(seam.texts(Kind::Error).size(), 2);
    seam.inputs = {QStringLiteral("Mil")};
    click(w, "Button1");
    EXPECT_EQ(seam.texts(Kind::Error).size(), 3);

    click(w, "nbNext");
    EXPECT_EQ(textOf(w, "DBEdit1"), QStringLiteral("Young"));
    EXPECT_FALSE(child<QLineEdit>(w, "DBEdit1")->isReadOnly());
    click(w, "nbFirst");
    EXPECT_EQ(textOf(w, "DBEdit1"), QStringLiteral("Adams"));
    EXPECT_EQ(seam.texts(Kind::Error).size(), 3);
}

TEST_F(CustomerLookup, searchFound_showsTheRecord_notFound_saysSoAndShowsTheFirst) {
    records::TGetCust w(main);
    ASSERT_TRUE(w.FormActivate());
    seam.inputs = {QStringLiteral("Mil"), QStringLiteral("\u00c9m"), QStringLiteral("Zz")};
    w.Button1Click();
    EXPECT_EQ(textOf(w, "DBEdit1"), QStringLiteral("Miller, Jo"));
    EXPECT_EQ(label(w, "Label17"), QStringLiteral("Target Shafts"));
    w.Button1Click();
    EXPECT_EQ(textOf(w, "DBEdit1"), QStringLiteral("\u00c9mile \"Bud\" Pe\u00f1a"));
    EXPECT_TRUE(seam.texts(Kind::Message).isEmpty());
    w.Button1Click();
    EXPECT_EQ(seam.texts(Kind::Message), QStringList{QStringLiteral("Name not found")});
    EXPECT_EQ(textOf(w, "DBEdit1"), QStringLiteral("Adams"));
    EXPECT_EQ(seam.texts(Kind::Input), QStringList(3, QStringLiteral("Enter First Letters of Name, Xxx")));
}

TEST_F(CustomerLookup, returnData_longbowOnHunting_restoresIntoBothBowGroupsAndCloses) {
    records::TGetCust w(main);
    ASSERT_TRUE(w.FormActivate());
    main.shownPage = Page::Youth;
    int accepted = 0;
    QObject::connect(&w, &QDialog::accepted, [&accepted] { ++accepted; });
    w.ReturnDataBtnClick();
    EXPECT_EQ(accepted, 1);
    EXPECT_EQ(main.shownPage, Page::Hunt);
    EXPECT_EQ(main.edits[Edit::BowWeight], "45");
    EXPECT_EQ(main.indexes[Group::BowType], 2);
    EXPECT_EQ(main.indexes[Group::TargBowType], 1);
    EXPECT_FALSE(w.holdsBook());
}

TEST_F(CustomerLookup, returnData_targetRecurveAndOrvik_restoreTheirPages) {
    {
        records::TGetCust w(main);
        ASSERT_TRUE(w.FormActivate());
        w.DBNavigator1Click(Nav::Next);
        w.ReturnDataBtnClick();
        EXPECT_EQ(main.shownPage, Page::Targ);
        EXPECT_EQ(main.indexes[Group::TargBowType], 1);
        EXPECT_EQ(main.indexes[Group::OverDraw], 3);
    }
    records::TGetCust w(main);
    ASSERT_TRUE(w.FormActivate());
    w.DBNavigator1Click(Nav::Last);
    w.ReturnDataBtnClick();
    EXPECT_EQ(main.shownPage, Page::Orvk);
    EXPECT_EQ(main.indexes[Group::BowType], 0);
}

TEST_F(CustomerLookup, returnData_badCode_showsConversionErrorAndStaysOpen) {
    records::TGetCust w(main);
    ASSERT_TRUE(w.FormActivate());
    seam.inputs = {QStringLiteral("Young")};
    w.Button1Click();
    main.shownPage = Page::Targ;
    int closed = 0;
    QObject::connect(&w, &QDialog::finished, [&closed] { ++closed; });
    w.ReturnDataBtnClick();
    EXPECT_EQ(seam.texts(Kind::Error), QStringList{QStringLiteral("'' is not a valid integer value")});
    EXPECT_EQ(closed, 0);
    EXPECT_EQ(main.shownPage, Page::Targ); // blank page code: the page stays
    EXPECT_EQ(main.indexes[Group::BowType], 1);
    EXPECT_TRUE(w.holdsBook());
}

TEST_F(CustomerLookup, editingACustomer_isStoredOnPost_refusedTextStaysOnScreen) {
    records::TGetCust w(main);
    ASSERT_TRUE(w.FormActivate());
    auto* city = child<QLineEdit>(w, "DBEdit8");
    city->selectAll();
    type(city, QStringLiteral("Cz\u0119stochowa"));
    w.DBNavigator1Click(Nav::Post);
    ASSERT_EQ(seam.texts(Kind::Message).size(), 1);
    EXPECT_TRUE(seam.texts(Kind::Message).front().contains(QStringLiteral("\"City\"")));
    EXPECT_EQ(city->text(), QStringLiteral("Cz\u0119stochowa"));

    city->selectAll();
    type(city, QStringLiteral("K\u00f6ln"));
    w.DBNavigator1Click(Nav::Next); // moving on posts what was typed, as the post button does
    data::TDbfTable t;
    t.open(dir / "Saveddb.dbf", data::TDbfTable::OpenMode::ReadOnly);
    t.go(2);
    EXPECT_EQ(data::trimTrailingSpaces(t.fieldText("CITY")), "K\u00f6ln");
}

TEST_F(CustomerLookup, renamingACustomer_movesItInNameOrder) {
    records::TGetCust w(main);
    ASSERT_TRUE(w.FormActivate());
    auto* name = child<QLineEdit>(w, "DBEdit1");
    name->selectAll();
    type(name, QStringLiteral("Zander"));
    w.DBNavigator1Click(Nav::Post);
    w.DBNavigator1Click(Nav::First);
    EXPECT_EQ(textOf(w, "DBEdit1"), QStringLiteral("Miller, Jo"));
    EXPECT_EQ(namesInIndexOrder().back(), "\u00c9mile \"Bud\" Pe\u00f1a");
    EXPECT_EQ(namesInIndexOrder()[2], "Zander");
}

TEST_F(CustomerLookup, closeWithUnpostedTyping_asksBeforeDroppingIt) {
    records::TGetCust w(main);
    ASSERT_TRUE(w.FormActivate());
    type(child(w, "DBEdit11"), QStringLiteral("C-7"));
    seam.answers = {true};
    w.ExitBtnClick();
    EXPECT_EQ(seam.texts(Kind::Question).size(), 1);
    EXPECT_EQ(namesInIndexOrder().front(), "Adams");
    data::TDbfTable t;
    t.open(dir / "Saveddb.dbf", data::TDbfTable::OpenMode::ReadOnly);
    t.go(2);
    EXPECT_EQ(data::trimTrailingSpaces(t.fieldText("CCODE")), "");
}

TEST_F(CustomerLookup, print_handsTheShownTextsToTheReport_orSaysItIsNotAvailable) {
    records::TGetCust w(main);
    ASSERT_TRUE(w.FormActivate());
    w.SpeedButton1Click();
    EXPECT_EQ(seam.texts(Kind::Message), QStringList{QStringLiteral("The customer report is not available yet.")});
    records::CustomerShownTexts printed;
    records::setCustomerReportPrinter([&printed](QWidget*, const records::CustomerShownTexts& t) { printed = t; });
    w.DBNavigator1Click(Nav::Next);
    w.SpeedButton1Click();
    records::setCustomerReportPrinter({});
    EXPECT_EQ(printed.name, QStringLiteral("Miller, Jo"));
    EXPECT_EQ(printed.city, QStringLiteral("Boston"));
    EXPECT_EQ(printed.braceHeight, QStringLiteral("Over 6.5\""));
    EXPECT_EQ(printed.chart, QStringLiteral("Target Shafts"));
}

// Printing never stores: typed changes are dropped after the question Close asks, and the page
// shows the record as stored; No goes back to them with nothing printed.
TEST_F(CustomerLookup, printWithTypedChanges_asksAndPrintsWhatIsStoredWithoutStoringThem) {
    records::TGetCust w(main);
    ASSERT_TRUE(w.FormActivate());
    int prints = 0;
    records::CustomerShownTexts printed;
    records::setCustomerReportPrinter([&](QWidget*, const records::CustomerShownTexts& t) {
        printed = t;
        ++prints;
    });
    type(child(w, "DBEdit8"), QStringLiteral("Typed City"));
    const QString typed = w.shownTexts().city;
    seam.answers = {false, true};
    w.SpeedButton1Click();
    EXPECT_EQ(prints, 0);
    EXPECT_EQ(w.shownTexts().city, typed);
    w.SpeedButton1Click();
    records::setCustomerReportPrinter({});
    EXPECT_EQ(seam.texts(Kind::Question).size(), 2);
    EXPECT_TRUE(seam.texts(Kind::Question)[0].startsWith(QStringLiteral("Discard the changes")));
    ASSERT_EQ(prints, 1);
    EXPECT_NE(printed.city, typed);
    EXPECT_EQ(w.shownTexts().city, printed.city);
    data::TDbfTable t;
    t.open(dir / "Saveddb.dbf", data::TDbfTable::OpenMode::ReadOnly);
    for (t.first(); !t.eof(); t.next()) {
        EXPECT_EQ(t.fieldText("CITY").find("Typed City"), std::string::npos);
    }
}

// Another program renamed "Miller, Jo" in the table and left Saved.idx as it was (the count of
// keys still agrees). A search that lands on the record offers Rebuild; chosen, the index is built
// again and the search finds the new name. Get Setup's count finds it before the window opens.
TEST_F(CustomerLookup, indexOlderThanARenamedRecord_searchOffersRebuild_andGetSetupRebuildsIt) {
    const auto renameBehindTheIndex = [this](const std::string& from, const std::string& to) {
        std::string bytes = readFile(dir / "Saveddb.dbf");
        bytes.replace(bytes.find(from), to.size(), to);
        writeFile(dir / "Saveddb.dbf", bytes);
    };
    renameBehindTheIndex("Miller, Jo", "Baker, Jo ");
    {
        records::TGetCust w(main);
        ASSERT_TRUE(w.FormActivate());
        seam.answers = {false};
        seam.inputs = {QStringLiteral("Mil")};
        w.Button1Click();
        ASSERT_EQ(seam.texts(Kind::Offer).size(), 1);
        EXPECT_TRUE(seam.texts(Kind::Offer)[0].contains(QStringLiteral("customers reindex")));
        EXPECT_EQ(textOf(w, "DBEdit1"), QStringLiteral("Adams")); // declined: back on the first record

        seam.answers = {true};
        seam.inputs = {QStringLiteral("Mil"), QStringLiteral("Bak")};
        w.Button1Click(); // Rebuild: the name is gone from the index too
        EXPECT_EQ(seam.texts(Kind::Offer).size(), 2);
        EXPECT_TRUE(seam.texts(Kind::Information).join(QString()).contains(QStringLiteral("rebuilt")));
        EXPECT_EQ(seam.texts(Kind::Message), QStringList{QStringLiteral("Name not found")});
        w.Button1Click();
        EXPECT_EQ(textOf(w, "DBEdit1"), QStringLiteral("Baker, Jo"));
        EXPECT_EQ(seam.texts(Kind::Offer).size(), 2);
    }
    EXPECT_EQ(namesInIndexOrder(),
              (std::vector<std::string>{"Adams", "Baker, Jo", "Young", "\u00c9mile \"Bud\" Pe\u00f1a"}));

    renameBehindTheIndex("Young", "Aaron");
    seam.clear();
    records::getSetup(nullptr, main);
    EXPECT_EQ(seam.dialogs, QStringList{QStringLiteral("TGetCust")});
    const QString told = seam.texts(Kind::Information).join(QString());
    EXPECT_TRUE(told.contains(QStringLiteral("did not match the table"))) << told.toStdString();
    EXPECT_EQ(namesInIndexOrder().front(), "Aaron");
}

// A comment longer than the window edits (here 1 MiB of one word, which Save Setup once stored)
// is shown read-only with a note, and a change of another field stores it back untouched.
TEST_F(CustomerLookup, commentLongerThanTheWindowEdits_isShownReadOnly_andKeptWhenTheRecordIsSaved) {
    const std::string longComment(std::size_t{1} << 20, 'w');
    addRecord({{"NAME", "Aardvark"}, {"COMMENTS", longComment}});
    records::TGetCust w(main);
    ASSERT_TRUE(w.FormActivate());
    ASSERT_EQ(textOf(w, "DBEdit1"), QStringLiteral("Aardvark"));
    auto* memo = child<QPlainTextEdit>(w, "DBMemo1");
    EXPECT_TRUE(memo->isReadOnly());
    EXPECT_FALSE(child<QLineEdit>(w, "DBEdit1")->isReadOnly());
    EXPECT_TRUE(child<QLabel>(w, "CommentsNote")->isVisibleTo(&w));
    EXPECT_TRUE(child<QLabel>(w, "CommentsNote")->text().contains(QStringLiteral("1,048,576 characters")));
    EXPECT_GE(memo->document()->blockCount(), 1000); // laid out in display lines

    type(child(w, "DBEdit8"), QStringLiteral("x"));
    w.DBNavigator1Click(Nav::Post);
    EXPECT_TRUE(seam.texts(Kind::Error).isEmpty()) << seam.texts(Kind::Error).join(QString()).toStdString();
    data::TDbfTable t;
    t.open(dir / "Saveddb.dbf", data::TDbfTable::OpenMode::ReadOnly);
    t.openIndexFile("Saved.idx");
    ASSERT_TRUE(t.seek("Aardvark"));
    EXPECT_EQ(data::trimTrailingSpaces(t.fieldText("CITY")), "xSpringfield");
    EXPECT_EQ(t.memoText("COMMENTS", std::size_t{2} << 20).text, longComment);

    w.DBNavigator1Click(Nav::Next);
    EXPECT_FALSE(memo->isReadOnly());
    EXPECT_FALSE(child<QLabel>(w, "CommentsNote")->isVisibleTo(&w));
}

TEST_F(CustomerLookup, getSetupCommand_opensTheLookup) {
    records::getSetup(nullptr, main);
    EXPECT_EQ(seam.dialogs, QStringList{QStringLiteral("TGetCust")});
}

TEST(GetSetupEmpty, noRecords_saysSoAndOpensNothing) {
    TempDir dir;
    sampledata::writeSavedSetups(dir.path());
    FakeMainWindow main;
    main.folder = dir.path();
    test::RecordingSeam seam;
    records::getSetup(nullptr, main);
    EXPECT_TRUE(seam.dialogs.isEmpty());
    EXPECT_EQ(seam.texts(Kind::Information),
              QStringList{QStringLiteral("There are no records on file currently, use Save Setup first.")});
}

} // namespace
} // namespace arrowsel::test
