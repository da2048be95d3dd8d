// SPDX-License-Identifier: GPL-3.0-or-later
// The same saves, edits, searches and moves through the files and the PostgreSQL book, comparing
// every answer: name order (Windows-1252 bytes, ties in the order added), the seek rule with its
// misses, the texts of every field and the export's bytes.

#include "tests/pgbook/pg_fixture.h"
#include "tests/support/temp_dir.h"
#include "tools/gen/tables.h"

#include <fstream>
#include <sstream>

namespace arrowsel::test {
namespace {

using records::CustomerBook;
using records::FieldValue;

// Everything a caller can observe of where a book stands.
std::string state(CustomerBook& book) {
    std::string s = std::string(book.eof() ? "eof " : "") + (book.bof() ? "bof " : "");
    for (const auto& f : book.fields()) {
        s += f.name + "=" + book.fieldText(f.name) + "|";
    }
    return s;
}

std::string readFile(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

class BookDifferential : public PgBookTest {
protected:
    void SetUp() override {
        PgBookTest::SetUp();
        sampledata::writeSavedSetups(folder_.path());
        files_ = records::openCustomerBookAt(folder_.path().string());
        pg_ = open();
    }

    // Runs one step on both books and compares what each then shows.
    template <typename Step> void both(const std::string& what, Step step) {
        const auto a = step(*files_);
        const auto b = step(*pg_);
        EXPECT_EQ(a, b) << what;
        EXPECT_EQ(state(*files_), state(*pg_)) << what;
    }

    void walkBoth(const std::string& what) {
        both(what + ": count", [](CustomerBook& b) { return b.count(); });
        both(what + ": first", [](CustomerBook& b) { return (b.first(), 0); });
        for (int i = 0; i < 40 && !files_->eof(); ++i) {
            both(what + ": next " + std::to_string(i), [](CustomerBook& b) { return (b.next(), 0); });
        }
        both(what + ": next at the end", [](CustomerBook& b) { return (b.next(), 0); });
        both(what + ": prior from the end", [](CustomerBook& b) { return (b.prior(), 0); });
        both(what + ": last", [](CustomerBook& b) { return (b.last(), 0); });
        for (int i = 0; i < 40 && !files_->bof(); ++i) {
            both(what + ": prior " + std::to_string(i), [](CustomerBook& b) { return (b.prior(), 0); });
        }
        both(what + ": next after bof", [](CustomerBook& b) { return (b.next(), 0); });
    }

    void seekBoth(const std::string& prefix) {
        both("seek '" + prefix + "'", [&](CustomerBook& b) { return b.seek(prefix); });
        both("next after seek '" + prefix + "'", [](CustomerBook& b) { return (b.next(), 0); });
        both("seek again '" + prefix + "'", [&](CustomerBook& b) { return b.seek(prefix); });
        both("prior after seek '" + prefix + "'", [](CustomerBook& b) { return (b.prior(), 0); });
    }

    TempDir folder_;
    std::unique_ptr<CustomerBook> files_;
    std::unique_ptr<CustomerBook> pg_;
};

TEST_F(BookDifferential, sameLayoutAndAnswersOnAnEmptyBook) {
    ASSERT_EQ(files_->fields().size(), pg_->fields().size());
    for (std::size_t i = 0; i < files_->fields().size(); ++i) {
        const auto& a = files_->fields()[i];
        const auto& b = pg_->fields()[i];
        EXPECT_EQ(std::tie(a.name, a.kind, a.width, a.decimals), std::tie(b.name, b.kind, b.width, b.decimals))
            << a.name;
    }
    EXPECT_EQ(files_->codePage(), pg_->codePage());
    walkBoth("empty");
    seekBoth("A");
    seekBoth("");
}

TEST_F(BookDifferential, savesEditsSearchesAndMoves_answerAlike) {
    // Windows-1252 puts "€" (0x80) before "Š" (0x8A) before "É" (0xC9) before "é" (0xE9) before
    // "ÿ"; Unicode order would differ. Equal names keep the order they were added in; a control
    // character sorts below the blanks that pad a shorter name.
    const std::vector<std::vector<FieldValue>> saves = {
        {{"NAME", "Šimon"}, {"CITY", "Brno"}, {"HORT", "1"}, {"BOTYP", "1"}, {"DATE", "20261208"}},
        {{"NAME", "€uro Archery"}, {"COMMENTS", "pays in euros\r\nsecond line"}},
        {{"NAME", "Adams"}, {"ADDR1", "1 Main St"}, {"CCODE", "A-1"}, {"BOWWT", "55"}},
        {{"NAME", "émile"}, {"COUNTRY", "France"}},
        {{"NAME", "Émile"}, {"STATE", "QC"}},
        {{"NAME", "Adams"}, {"ADDR1", "2 Second St"}, {"ODLEN", "3"}},
        {{"NAME", "adams"}, {"HORT", "0"}},
        {{"NAME", "Bob"}, {"ZIP", "45402"}},
        {{"NAME", "Bob\t"}, {"ZIP", "tab"}},
        {{"NAME", "Bob!"}, {"ZIP", "bang"}},
        {{"NAME", "Bo"}},
        {{"NAME", " Leading"}},
        {{"NAME", "Zoë Ångström"}, {"COMMENTS", "ÿ at the end: ÿ"}},
        {{"NAME", "ÿves"}},
        {{"NAME", std::string(40, 'W')}},
        {{"NAME", "O'Neil \"quoted\""}, {"COMMENTS", "say \"hi\""}},
        {{"NAME", "Adams"}, {"ADDR1", "3 Third St"}},
    };
    for (std::size_t i = 0; i < saves.size(); ++i) {
        both("append " + std::to_string(i), [&](CustomerBook& b) { return (b.append(saves[i]), 0); });
    }
    walkBoth("after the saves");

    for (const std::string& prefix : std::vector<std::string>{"Adams",
                                                              "Ad",
                                                              "A",
                                                              "a",
                                                              "adams",
                                                              "Adamsx",
                                                              "Bob",
                                                              "Bob ",
                                                              "Bob  ",
                                                              "Bob\t",
                                                              "Bo",
                                                              "B",
                                                              "€",
                                                              "€uro",
                                                              "Š",
                                                              "É",
                                                              "é",
                                                              "émile",
                                                              "Zoë",
                                                              "ÿ",
                                                              "ÿz",
                                                              " ",
                                                              " L",
                                                              "L",
                                                              "",
                                                              "Zz",
                                                              "zzz",
                                                              "0",
                                                              "Ł",
                                                              std::string(40, 'W'),
                                                              std::string(40, 'W') + "   ",
                                                              std::string(41, 'W'),
                                                              "Adams" + std::string(40, ' ')}) {
        seekBoth(prefix);
    }

    // Edits move a record in name order; the current record stays the edited one.
    seekBoth("Bob!");
    both("edit Bob! to Aaron", [](CustomerBook& b) {
        return (b.update({{"NAME", "Aaron"}, {"COMMENTS", "renamed"}, {"ODLEN", "5"}}), 0);
    });
    both("next after the edit", [](CustomerBook& b) { return (b.next(), 0); });
    seekBoth("Šimon");
    both("edit Šimon", [](CustomerBook& b) { return (b.update({{"CITY", "Praha"}, {"DATE", ""}}), 0); });
    walkBoth("after the edits");
    seekBoth("Aa");
    seekBoth("Bob!");

    const std::filesystem::path a = folder_ / "files.txt";
    const std::filesystem::path b = folder_ / "pg.txt";
    files_->exportText(a);
    pg_->exportText(b);
    const std::string exported = readFile(a);
    EXPECT_EQ(exported, readFile(b));
    EXPECT_NE(exported.find("\x80uro"), std::string::npos) << "the export is not in Windows-1252";
}

} // namespace
} // namespace arrowsel::test
