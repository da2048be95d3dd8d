// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/cust_info.h"
#include "records/file_book.h"
#include "records/get_cust.h"
#include "records/record_commands.h"
#include "tests/records/records_fixture.h"

#include <cerrno>
#include <fstream>

namespace arrowsel::test {
namespace {

using Kind = test::RecordingSeam::Kind;
using Nav = records::TGetCust::NavButton;

class BookWindows : public RecordsTest {
protected:
    BookWindows() {
        addRecord({{"NAME", "Adams"}, {"CITY", "Boston"}});
        addRecord({{"NAME", "Baker"}, {"CITY", "Denver"}});
    }

    // Another counter changes Adams's city while this one shows it.
    void changedElsewhere(const std::string& city) {
        records::FileBook other(dir.path());
        ASSERT_TRUE(other.seek("Adams"));
        other.update({{"CITY", city}});
    }

    std::string storedCity(const char* name) {
        records::FileBook book(dir.path());
        EXPECT_TRUE(book.seek(name));
        return std::string(data::trimTrailingSpaces(book.fieldText("CITY")));
    }

    void writeSettings(const std::string& text) { std::ofstream(dir / "arrowsel.ini") << text; }
};

TEST_F(BookWindows, aRecordChangedAtAnotherCounterIsOverwrittenOrReloadedAsTheUserAnswers) {
    records::TGetCust w(main);
    ASSERT_TRUE(w.FormActivate());
    auto* city = child<QLineEdit>(w, "DBEdit8");

    changedElsewhere("Chicago");
    city->selectAll();
    type(city, QStringLiteral("Austin"));
    seam.answers = {false};
    w.DBNavigator1Click(Nav::Post);
    ASSERT_EQ(seam.texts(Kind::Question).size(), 1);
    EXPECT_TRUE(seam.texts(Kind::Question)[0].contains(QString::fromStdString(dir.path().string())))
        << seam.texts(Kind::Question)[0].toStdString();
    EXPECT_EQ(city->text(), QStringLiteral("Chicago")); // reloaded: the other counter's change shows
    EXPECT_EQ(storedCity("Adams"), "Chicago");

    changedElsewhere("Dallas");
    city->selectAll();
    type(city, QStringLiteral("Austin"));
    seam.answers = {true};
    w.DBNavigator1Click(Nav::Next); // a move posts too, and asks the same
    EXPECT_EQ(seam.texts(Kind::Question).size(), 2);
    EXPECT_EQ(storedCity("Adams"), "Austin");
    EXPECT_EQ(textOf(w, "DBEdit1"), QStringLiteral("Baker"));
    EXPECT_TRUE(seam.texts(Kind::Error).isEmpty());
}

TEST_F(BookWindows, aSaveThatFailsNamesTheBookAndTheCauseAndKeepsTheTypingOnScreen) {
    BookFaults faults;
    records::TGetCust w(main);
    ASSERT_TRUE(w.FormActivate(faults.open(w, dir.path())));
    auto* name = child<QLineEdit>(w, "DBEdit1");
    name->selectAll();
    type(name, QStringLiteral("Zimmer"));
    faults.atIndexIo(1, EIO);
    w.DBNavigator1Click(Nav::Next);
    faults.disarm();
    ASSERT_EQ(seam.texts(Kind::Error).size(), 1);
    const QString error = seam.texts(Kind::Error)[0];
    EXPECT_TRUE(error.contains(QString::fromStdString(dir.path().string()))) << error.toStdString();
    EXPECT_TRUE(error.contains(QStringLiteral("Saved.idx"))) << error.toStdString();
    EXPECT_EQ(name->text(), QStringLiteral("Zimmer")); // not moved, still typed
    EXPECT_EQ(namesInIndexOrder(), (std::vector<std::string>{"Adams", "Baker"}));

    w.DBNavigator1Click(Nav::Post);
    EXPECT_EQ(namesInIndexOrder(), (std::vector<std::string>{"Baker", "Zimmer"}));
}

TEST_F(BookWindows, aSettingsLineTheProgramCannotUseStopsTheCustomerCommandsWithWhereToLook) {
    writeSettings("[customers]\nbook=//fileserver/customers\n");
    records::getSetup(nullptr, main);
    records::saveSetup(nullptr, main);
    EXPECT_FALSE(records::exportCustomerDatabase(nullptr, main));
    EXPECT_TRUE(seam.dialogs.isEmpty());
    const QStringList errors = seam.texts(Kind::Error);
    ASSERT_EQ(errors.size(), 3);
    for (const QString& e : errors) {
        EXPECT_TRUE(e.contains(QStringLiteral("arrowsel.ini, line 2"))) << e.toStdString();
    }

    writeSettings("[customers]\nbook=postgresql://counter:secret@db/shop\n");
    seam.clear();
    records::getSetup(nullptr, main);
    ASSERT_EQ(seam.texts(Kind::Error).size(), 1);
    EXPECT_TRUE(seam.texts(Kind::Error)[0].contains(QStringLiteral(".pgpass")));
    EXPECT_FALSE(seam.texts(Kind::Error)[0].contains(QStringLiteral("secret")));
}

} // namespace
} // namespace arrowsel::test
