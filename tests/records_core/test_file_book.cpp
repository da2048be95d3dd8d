// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/dbf_table.h"
#include "data/text.h"
#include "records/book_settings.h"
#include "records/customer_book.h"
#include "records/file_book.h"
#include "records/saved_layout.h"
#include "tests/support/child_process.h"
#include "tests/support/dbf_forge.h"
#include "tests/support/temp_dir.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace arrowsel::records {
namespace {

namespace fs = std::filesystem;

std::vector<FieldValue> person(const std::string& name, const std::string& city = "Springfield") {
    return {{"NAME", name},       {"ADDR1", "1 Main St"}, {"CITY", city}, {"STATE", "IL"}, {"COMMENTS", "likes carbon"},
            {"DATE", "20261208"}, {"HORT", "1"}};
}

std::string name(const CustomerBook& book) {
    return std::string(data::trimTrailingSpaces(book.fieldText("NAME")));
}

class FileBookTest : public ::testing::Test {
protected:
    void SetUp() override { FileBook::create(dir.path(), savedSetupFields()); }

    std::unique_ptr<CustomerBook> open() { return openCustomerBookAt(dir.path().string()); }

    // Names whose byte order in Windows-1252 differs from their order in Unicode and from a
    // case-blind order; two customers share a name.
    void fillNames(CustomerBook& book) {
        for (const char* n : {"Baker", "adams", "Adams", "\xC5\xA0imon", "Zed",
                              "\xE2\x82\xAC"
                              "uro",
                              "Adams"}) {
            book.append(person(n, std::string("city of ") + n));
        }
    }

    test::TempDir dir;
};

TEST_F(FileBookTest, movesInNameOrderWithTiesInTheOrderAdded) {
    auto book = open();
    EXPECT_TRUE(book->eof());
    EXPECT_EQ(book->fieldText("NAME"), "");
    fillNames(*book);
    EXPECT_EQ(book->count(), 7u);

    std::vector<std::string> order;
    for (book->first(); !book->eof(); book->next()) {
        order.push_back(name(*book) + "/" + std::string(data::trimTrailingSpaces(book->fieldText("CITY"))));
    }
    EXPECT_EQ(order, (std::vector<std::string>{"Adams/city of Adams", "Adams/city of Adams", "Baker/city of Baker",
                                               "Zed/city of Zed", "adams/city of adams",
                                               "\xE2\x82\xAC"
                                               "uro/city of \xE2\x82\xAC"
                                               "uro",
                                               "\xC5\xA0imon/city of \xC5\xA0imon"}));
    EXPECT_EQ(book->fieldText("CITY"), "");
    book->prior();
    EXPECT_EQ(name(*book), "\xC5\xA0imon");
    book->first();
    book->prior();
    EXPECT_TRUE(book->bof());
    EXPECT_EQ(name(*book), "Adams");
    book->last();
    EXPECT_FALSE(book->bof());
    EXPECT_EQ(name(*book), "\xC5\xA0imon");
    // Texts as the table gives them: padded character fields, numbers and dates as stored.
    EXPECT_EQ(book->fieldText("ADDR1").size(), 40u);
    EXPECT_EQ(book->fieldText("hort"), "1");
    EXPECT_EQ(book->fieldText("DATE"), "20261208");
    EXPECT_EQ(book->fieldText("COMMENTS"), "likes carbon");
    EXPECT_THROW(book->fieldText("NOSUCH"), EBookError);
}

TEST_F(FileBookTest, seekFindsTheFirstNameBeginningWithTheTextAndLeavesMissesOnTheLast) {
    auto empty = open();
    EXPECT_FALSE(empty->seek("A"));
    EXPECT_TRUE(empty->eof());

    auto book = open();
    fillNames(*book);
    EXPECT_TRUE(book->seek("Ad"));
    EXPECT_EQ(name(*book), "Adams");
    book->next();
    EXPECT_EQ(name(*book), "Adams"); // the second of the same name follows
    EXPECT_TRUE(book->seek("ad"));   // case as typed
    EXPECT_EQ(name(*book), "adams");
    EXPECT_TRUE(book->seek("\xE2\x82\xAC"));
    EXPECT_EQ(name(*book), "\xE2\x82\xAC"
                           "uro");
    EXPECT_TRUE(book->seek(""));
    EXPECT_EQ(name(*book), "Adams");

    EXPECT_FALSE(book->seek("Q"));
    EXPECT_FALSE(book->eof());
    EXPECT_EQ(name(*book), "\xC5\xA0imon");
    EXPECT_FALSE(book->seek("Zeds"));
    EXPECT_EQ(name(*book), "\xC5\xA0imon");
}

TEST_F(FileBookTest, updateStoresAllOrNothingAndAnotherCounterSeesItAtItsNextMove) {
    auto mine = open();
    fillNames(*mine);
    auto theirs = open();
    ASSERT_TRUE(mine->seek("Baker"));
    mine->update({{"NAME", "Archer"}, {"COMMENTS", "new strings"}});
    EXPECT_EQ(name(*mine), "Archer"); // still current, read again
    EXPECT_EQ(mine->fieldText("COMMENTS"), "new strings");
    EXPECT_EQ(data::trimTrailingSpaces(mine->fieldText("CITY")), "city of Baker");

    theirs->first();
    EXPECT_EQ(name(*theirs), "Adams");
    EXPECT_TRUE(theirs->seek("Arch"));
    EXPECT_EQ(theirs->fieldText("COMMENTS"), "new strings");

    // A value too long for its field, or outside the code page, stores none of the values.
    EXPECT_THROW(mine->update({{"CITY", "Elsewhere"}, {"STATE", std::string(11, 'X')}}), EBookError);
    EXPECT_THROW(mine->update({{"CITY", "Elsewhere"}, {"ZIP", "\xE2\x98\x83"}}), EBookError);
    theirs->seek("Arch");
    EXPECT_EQ(data::trimTrailingSpaces(theirs->fieldText("CITY")), "city of Baker");
    EXPECT_EQ(mine->count(), 7u);
}

TEST_F(FileBookTest, aRecordChangedElsewhereIsNotOverwrittenUnlessTheUserSaysSo) {
    auto mine = open();
    fillNames(*mine);
    auto theirs = open();
    ASSERT_TRUE(mine->seek("Zed"));
    ASSERT_TRUE(theirs->seek("Zed"));
    theirs->update({{"COMMENTS", "theirs"}});

    try {
        mine->update({{"COMMENTS", "mine"}});
        FAIL() << "the other counter's change went unnoticed";
    } catch (const ERecordChangedElsewhere& e) {
        EXPECT_NE(std::string(e.what()).find(dir.path().string()), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find("Zed"), std::string::npos) << e.what();
    }
    theirs->seek("Zed");
    EXPECT_EQ(theirs->fieldText("COMMENTS"), "theirs");
    // This side now shows what the other counter stored, and the user may still overwrite it.
    EXPECT_EQ(mine->fieldText("COMMENTS"), "theirs");
    mine->update({{"COMMENTS", "mine"}}, true);
    theirs->seek("Zed");
    EXPECT_EQ(theirs->fieldText("COMMENTS"), "mine");
    // Or, unread again, the question comes again.
    theirs->update({{"COMMENTS", "theirs again"}});
    EXPECT_THROW(mine->update({{"COMMENTS", "mine again"}}), ERecordChangedElsewhere);
    mine->update({{"COMMENTS", "mine again"}});
    EXPECT_EQ(mine->fieldText("COMMENTS"), "mine again");
}

TEST_F(FileBookTest, appendMakesTheNewRecordCurrentAndCountSkipsDeletedRecords) {
    auto book = open();
    book->append(person("Carter"));
    book->append(person("Bell"));
    EXPECT_EQ(name(*book), "Bell");
    book->next();
    EXPECT_EQ(name(*book), "Carter");
    EXPECT_THROW(book->append(person(std::string(41, 'N'))), EBookError);
    EXPECT_EQ(book->count(), 2u);

    test::markDeleted(dir / "Saveddb.dbf", 1);
    EXPECT_EQ(book->count(), 1u);
    EXPECT_TRUE(book->takeNotices().empty());
}

TEST_F(FileBookTest, theBookNamesItsFolderAndAMissingTableSaysSo) {
    auto book = open();
    EXPECT_NE(book->where().find(dir.path().string()), std::string::npos);
    EXPECT_EQ(book->codePage(), data::CodePage::Windows1252);
    EXPECT_EQ(book->layout().size(), savedSetupFields().size());

    test::TempDir elsewhere;
    try {
        openCustomerBook(elsewhere.path());
        FAIL() << "a folder without the table opened";
    } catch (const EBookError& e) {
        EXPECT_NE(std::string(e.what()).find("Saveddb"), std::string::npos) << e.what();
    }
}

// A Saved.idx this user may not write beside a table that can be written: the book opens and
// reads, says it is read-only because of that file, and a save says so again instead of failing
// without a reason.
TEST_F(FileBookTest, anIndexThatCannotBeWritten_opensTheBookReadOnlyAndSaysWhy) {
    open()->append(person("Adams"));
    fs::permissions(dir / kSavedIndex, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    const int status = test::runUnprivileged(dir.path(), [this] {
        auto book = open();
        std::string told;
        for (const std::string& n : book->takeNotices()) {
            told += n;
        }
        EXPECT_NE(told.find("opened read-only"), std::string::npos) << told;
        EXPECT_NE(told.find((dir / kSavedIndex).string()), std::string::npos) << told;
        EXPECT_TRUE(book->seek("Ada"));
        EXPECT_EQ(book->count(), 1u);
        try {
            book->append(person("Baker"));
            ADD_FAILURE() << "a read-only book took a record";
        } catch (const EBookError& e) {
            EXPECT_NE(std::string(e.what()).find(kSavedIndex), std::string::npos) << e.what();
        }
    });
    EXPECT_EQ(status, 0);
}

class BookSettingsTest : public ::testing::Test {
protected:
    fs::path write(const std::string& text) {
        std::ofstream(dir / kSettingsFile, std::ios::binary) << text;
        return dir / kSettingsFile;
    }
    std::string refusal(const std::string& text) {
        try {
            configuredBookAddress(write(text));
        } catch (const EBookError& e) {
            return e.what();
        }
        return {};
    }
    test::TempDir dir;
};

TEST_F(BookSettingsTest, theCustomersLineNamesTheBookAndNoLineMeansTheFiles) {
    EXPECT_EQ(configuredBookAddress(dir / kSettingsFile), std::nullopt);
    EXPECT_EQ(configuredBookAddress(write("; shop settings\n[printing]\nbook=whatever\n")), std::nullopt);
    EXPECT_EQ(configuredBookAddress(write("\xEF\xBB\xBF[Customers]\r\n  book = postgresql://counter@db:5432/shop?"
                                          "sslmode=require  \r\n# end\r\n")),
              "postgresql://counter@db:5432/shop?sslmode=require");

    // No line: the folder's own files, the settings file notwithstanding.
    FileBook::create(dir.path(), savedSetupFields());
    write("[customers]\n");
    EXPECT_NE(dynamic_cast<FileBook*>(openCustomerBook(dir.path()).get()), nullptr);
}

TEST_F(BookSettingsTest, aMalformedLineIsNamedNotPassedOver) {
    const std::string file = (dir / kSettingsFile).string();
    std::string m = refusal("[customers]\nbook postgresql://db/shop\n");
    EXPECT_NE(m.find(file + ", line 2"), std::string::npos) << m;
    m = refusal("[customers\n");
    EXPECT_NE(m.find("line 1"), std::string::npos) << m;
    m = refusal("[customers]\nbok=postgresql://db/shop\n");
    EXPECT_NE(m.find("\"bok\""), std::string::npos) << m;
    m = refusal("[customers]\nbook=/srv/shared/customers\n");
    EXPECT_NE(m.find("postgresql://"), std::string::npos) << m;
    m = refusal("[customers]\nbook=\n");
    EXPECT_NE(m.find("line 2"), std::string::npos) << m;
    m = refusal("[customers]\nbook=postgresql://a/b\nbook=postgresql://c/d\n");
    EXPECT_NE(m.find("line 3"), std::string::npos) << m;
    // A malformed settings file stops the opening rather than falling back to the files.
    FileBook::create(dir.path(), savedSetupFields());
    write("[customers]\nbook:postgresql://db/shop\n");
    EXPECT_THROW(openCustomerBook(dir.path()), EBookError);
}

// The settings file lies in a folder others may write to: a pipe of its name is refused, not
// waited on, and a huge file (here 4 GiB of one line) is refused, not read; each names the file.
TEST_F(BookSettingsTest, aPipeOrAHugeFileAsTheSettingsFile_isRefusedWithoutWaitingOrReading) {
    const fs::path file = dir / kSettingsFile;
    ASSERT_EQ(::mkfifo(file.c_str(), 0644), 0);
    for (int kind = 0; kind < 2; ++kind) {
        try {
            configuredBookAddress(file);
            ADD_FAILURE() << "read a settings file that is " << (kind == 0 ? "a pipe" : "4 GiB");
        } catch (const EBookError& e) {
            EXPECT_NE(std::string(e.what()).find(file.string()), std::string::npos) << e.what();
        }
        fs::remove(file);
        write("[customers]");
        fs::resize_file(file, std::uint64_t{4} << 30);
    }
}

TEST_F(BookSettingsTest, aPasswordInTheAddressIsRefusedWithWhereItBelongs) {
    for (const char* address : {"postgresql://counter:secret@db/shop", "postgres://counter:@db:5432/shop",
                                "postgresql://counter@db/shop?sslmode=require&Password=secret"}) {
        const std::string m = refusal(std::string("[customers]\nbook=") + address + "\n");
        EXPECT_NE(m.find("line 2"), std::string::npos) << address << ": " << m;
        EXPECT_NE(m.find(".pgpass"), std::string::npos) << address << ": " << m;
        EXPECT_EQ(m.find("secret"), std::string::npos) << "the message repeats the password: " << m;
    }
    EXPECT_NO_THROW(refusePassword("postgresql://counter@db/shop?passfile=/home/c/.pgpass", "test"));
    EXPECT_NO_THROW(refusePassword("postgresql://db/shop?application_name=a:b@c", "test"));
}

} // namespace
} // namespace arrowsel::records
