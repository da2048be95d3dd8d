// SPDX-License-Identifier: GPL-3.0-or-later
// The PostgreSQL customer book against a real server: texts that would break SQL built from
// strings, several counters at once, and the failures a shop's network brings.

#include "data/text.h"
#include "records/pg_connection.h"
#include "tests/pgbook/pg_fixture.h"
#include "tests/support/tcp_proxy.h"

#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <functional>
#include <netinet/in.h>
#include <set>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace arrowsel::test {
namespace {

using records::EBookError;
using records::ERecordChangedElsewhere;
using records::FieldValue;

std::string padded(std::string text, std::size_t width = 40) {
    text.resize(width, ' ');
    return text;
}

std::string trimmed(const std::string& text) {
    return std::string(data::trimTrailingSpaces(text));
}

std::string name(const records::CustomerBook& book) {
    return trimmed(book.fieldText("NAME"));
}

TEST_F(PgBookTest, namesThatWouldBreakBuiltSql_storedAndFoundAsTyped) {
    const std::vector<std::string> names = {"O'Brien", "x'); DROP TABLE saved_setups; --", "back\\slash \\x41",
                                            "semi;colon \"quoted\" $1", "100% _wild_"};
    auto book = open();
    for (const std::string& n : names) {
        book->append({{"NAME", n}, {"COMMENTS", "note: " + n}, {"CITY", n.substr(0, 30)}});
    }
    EXPECT_EQ(book->count(), names.size());
    for (const std::string& n : names) {
        ASSERT_TRUE(book->seek(n)) << n;
        EXPECT_EQ(book->fieldText("NAME"), padded(n)) << n;
        EXPECT_EQ(book->fieldText("COMMENTS"), "note: " + n);
    }
    // "%" and "_" are no wildcards of the search: "100%" finds only the one that begins so.
    EXPECT_FALSE(book->seek("100x"));
}

TEST_F(PgBookTest, valuesOutsideTheFieldsLimits_refusedWithNothingStored) {
    auto book = open();
    book->append({{"NAME", "Keeper"}, {"HORT", "1"}, {"DATE", "20261208"}});
    EXPECT_THROW(book->append({{"NAME", std::string(41, 'x')}}), EBookError);
    try {
        book->append({{"NAME", "Łukasz"}});
        ADD_FAILURE() << "a character outside Windows-1252 was taken";
    } catch (const EBookError& e) {
        EXPECT_NE(std::string(e.what()).find("Ł"), std::string::npos) << e.what();
    }
    EXPECT_THROW(book->append({{"NAME", "A"}, {"HORT", "100"}}), EBookError);
    EXPECT_THROW(book->append({{"NAME", "A"}, {"DATE", "20260230"}}), EBookError);
    EXPECT_THROW(book->append({{"NAME", "A"}, {"COMMENTS", "emoji 🏹"}}), EBookError);
    EXPECT_THROW(book->update({{"NAME", "Kéeper"}, {"HORT", "x"}}), EBookError);
    EXPECT_EQ(book->count(), 1u);
    book->first();
    EXPECT_EQ(name(*book), "Keeper");
    EXPECT_EQ(book->fieldText("HORT"), "1");

    // The server holds the same limits for programs that write to it directly.
    EXPECT_THROW(sql("INSERT INTO saved_setups (name) VALUES (repeat('x', 41))"), std::runtime_error);
    EXPECT_THROW(sql("INSERT INTO saved_setups (name) VALUES ('Łukasz')"), std::runtime_error);
    EXPECT_THROW(sql("INSERT INTO saved_setups (city) VALUES ('Kraków Ł')"), std::runtime_error);
    EXPECT_THROW(sql("INSERT INTO saved_setups (comments) VALUES ('🏹')"), std::runtime_error);
    EXPECT_THROW(sql("INSERT INTO saved_setups (hort) VALUES (100)"), std::runtime_error);
    EXPECT_THROW(sql("INSERT INTO saved_setups (hort) VALUES (-10)"), std::runtime_error);
    sql("INSERT INTO saved_setups (name, hort) VALUES ('€ Š', -9)");
    EXPECT_EQ(book->count(), 2u);
}

TEST_F(PgBookTest, recordChangedByAnotherCounter_detectedUnlessTheUserOverwrites) {
    auto here = open();
    auto there = open();
    here->append({{"NAME", "Adams"}, {"CITY", "Dayton"}});
    there->first();
    here->update({{"CITY", "Akron"}});

    EXPECT_THROW(there->update({{"CITY", "Toledo"}}), ERecordChangedElsewhere);
    // The refused counter now holds what is stored, so the lookup can show it.
    EXPECT_EQ(trimmed(there->fieldText("CITY")), "Akron");
    here->first();
    EXPECT_EQ(trimmed(here->fieldText("CITY")), "Akron");

    there->update({{"CITY", "Toledo"}}, true);
    EXPECT_EQ(trimmed(there->fieldText("CITY")), "Toledo");
    // Once stored, that counter holds the new version: a further edit needs no overwrite.
    there->update({{"CITY", "Canton"}});
    here->first();
    EXPECT_EQ(trimmed(here->fieldText("CITY")), "Canton");
    there->update({{"CITY", "Lima"}});
    EXPECT_THROW(here->update({{"CITY", "Xenia"}}), ERecordChangedElsewhere);
    here->first();
    EXPECT_EQ(trimmed(here->fieldText("CITY")), "Lima");
    EXPECT_EQ(here->count(), 1u);
}

TEST_F(PgBookTest, anotherCountersNewRecord_seenAtTheNextMoveAndSearch) {
    auto lookup = open();
    auto entry = open();
    entry->append({{"NAME", "Adams"}});
    entry->append({{"NAME", "Carter"}});
    lookup->first();
    ASSERT_EQ(name(*lookup), "Adams");

    entry->append({{"NAME", "Baker"}});
    lookup->next();
    EXPECT_EQ(name(*lookup), "Baker");
    entry->append({{"NAME", "Dunn"}});
    EXPECT_TRUE(lookup->seek("Du"));
    EXPECT_EQ(lookup->count(), 4u);
}

TEST_F(PgBookTest, twoCountersSavingAtOnce_eachRecordLandsOnce) {
    constexpr int kEach = 40;
    std::atomic<bool> go{false};
    std::vector<std::string> errors(2);
    auto save = [&](int counter) {
        try {
            auto book = open();
            while (!go) {
                std::this_thread::yield();
            }
            for (int i = 0; i < kEach; ++i) {
                book->append({{"NAME", "Counter " + std::to_string(counter) + " customer " + std::to_string(i)}});
            }
        } catch (const std::exception& e) {
            errors[static_cast<std::size_t>(counter)] = e.what();
        }
    };
    std::thread a(save, 0);
    std::thread b(save, 1);
    go = true;
    a.join();
    b.join();
    EXPECT_EQ(errors[0], "");
    EXPECT_EQ(errors[1], "");

    auto book = open();
    EXPECT_EQ(book->count(), 2u * kEach);
    std::multiset<std::string> seen;
    for (book->first(); !book->eof(); book->next()) {
        seen.insert(name(*book));
    }
    ASSERT_EQ(seen.size(), 2u * kEach);
    for (int c = 0; c < 2; ++c) {
        for (int i = 0; i < kEach; ++i) {
            EXPECT_EQ(seen.count("Counter " + std::to_string(c) + " customer " + std::to_string(i)), 1u);
        }
    }
}

// A copy lands whole or not at all, also when the server refuses a record after the first
// statements went through, and --replace removes the old records in the same transaction.
TEST_F(PgBookTest, copyIntoTheBook_landsWholeOrNotAtAll) {
    auto book = open();
    book->append({{"NAME", "Old"}});
    std::vector<records::BookRecord> copy;
    for (int i = 0; i < 600; ++i) {
        copy.push_back({{"NAME", "Copied " + std::to_string(i)}, {"COMMENTS", "memo " + std::to_string(i)}});
    }
    // U+0081 has a byte in the program's Windows-1252 table but none in the server's, so only the
    // server refuses it, after the first 500 rows were sent.
    copy[550][0].text = "Bad \u0081";
    EXPECT_THROW(book->appendAll(copy, true), EBookError);
    EXPECT_EQ(book->count(), 1u);
    book->first();
    EXPECT_EQ(name(*book), "Old");

    copy[550][0].text = "Fine";
    book->appendAll(copy, true);
    EXPECT_EQ(book->count(), 600u);
    EXPECT_FALSE(book->seek("Old"));
    const std::vector<records::BookRecord> all = book->allRecords();
    ASSERT_EQ(all.size(), 600u);
    EXPECT_EQ(trimmed(all[0][0].text), "Copied 0"); // in the order added, not by name
    EXPECT_EQ(trimmed(all[599][0].text), "Copied 599");
}

// The program's role holds only the rights the user's guide grants: the two tables, nothing else.
TEST_F(PgBookTest, roleWithOnlyTheGuidesRights_usesTheBook) {
    sql("CREATE ROLE counter1 LOGIN PASSWORD 'arrows'");
    sql("REVOKE ALL ON DATABASE " + database() + " FROM PUBLIC");
    sql("GRANT CONNECT ON DATABASE " + database() + " TO counter1");
    sql("GRANT SELECT, INSERT, UPDATE, DELETE ON saved_setups TO counter1");
    sql("GRANT SELECT ON saved_setups_schema TO counter1");
    const std::string asCounter = cluster().url(database(), "counter1", "arrows");

    auto book = records::openCustomerBookAt(asCounter);
    book->append({{"NAME", "Evans"}, {"COMMENTS", "left-handed"}});
    book->update({{"CITY", "Xenia"}});
    EXPECT_TRUE(book->seek("Ev"));
    EXPECT_EQ(trimmed(book->fieldText("CITY")), "Xenia");
    EXPECT_EQ(book->count(), 1u);
    EXPECT_THROW(records::initServerBook(asCounter), EBookError); // cannot change the schema

    sql("CREATE ROLE stranger LOGIN PASSWORD 'arrows'");
    sql("GRANT CONNECT ON DATABASE " + database() + " TO stranger");
    try {
        records::openCustomerBookAt(cluster().url(database(), "stranger", "arrows"));
        ADD_FAILURE() << "a role without rights opened the book";
    } catch (const EBookError& e) {
        EXPECT_NE(std::string(e.what()).find("rights"), std::string::npos) << e.what();
    }
}

TEST_F(PgBookTest, wrongPassword_messageNamesTheServerAndTheCause) {
    sql("CREATE ROLE counter2 LOGIN PASSWORD 'right'");
    try {
        records::openCustomerBookAt(cluster().url(database(), "counter2", "Wr0ngPw"));
        ADD_FAILURE() << "opened with a wrong password";
    } catch (const EBookError& e) {
        const std::string m = e.what();
        EXPECT_NE(m.find(cluster().socketDir().string() + ":5432"), std::string::npos) << m;
        EXPECT_NE(m.find("database " + database()), std::string::npos) << m;
        EXPECT_NE(m.find("password authentication failed"), std::string::npos) << m;
        EXPECT_NE(m.find(".pgpass"), std::string::npos) << m;
        EXPECT_EQ(m.find("Wr0ngPw"), std::string::npos) << "the message shows the password: " << m;
    }
}

TEST_F(PgBookTest, serverGoneMidSession_failsNamingTheServerAndRecoversWhenBack) {
    auto book = open();
    book->append({{"NAME", "Adams"}});
    cluster().stop();
    const auto started = std::chrono::steady_clock::now();
    for (const auto& step :
         std::vector<std::function<void()>>{[&] {
                                                book->append({{"NAME", "Baker"}});
                                            },
                                            [&] {
                                                book->update({{"CITY", "Lost"}});
                                            },
                                            [&] { book->first(); }, [&] { book->seek("A"); }, [&] { (void)open(); }}) {
        try {
            step();
            ADD_FAILURE() << "a step succeeded with the server down";
        } catch (const EBookError& e) {
            EXPECT_NE(std::string(e.what()).find(cluster().socketDir().string()), std::string::npos) << e.what();
        }
    }
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(20));
    cluster().start();

    // The same book object reconnects; nothing of the failed saves was stored.
    book->first();
    EXPECT_EQ(name(*book), "Adams");
    EXPECT_EQ(trimmed(book->fieldText("CITY")), "");
    EXPECT_EQ(book->count(), 1u);
    book->append({{"NAME", "Baker"}});
    EXPECT_EQ(book->count(), 2u);
}

// After a server restart the first save and the first update go through by themselves, each
// stored once.
TEST_F(PgBookTest, serverRestartedBetweenSaves_firstPressStoresOnce) {
    auto book = open();
    book->append({{"NAME", "Adams"}});
    cluster().stop();
    cluster().start();
    book->append({{"NAME", "Baker"}});
    EXPECT_EQ(name(*book), "Baker");
    cluster().stop();
    cluster().start();
    book->update({{"CITY", "Dover"}});
    EXPECT_EQ(trimmed(book->fieldText("CITY")), "Dover");
    EXPECT_EQ(book->count(), 2u);
    auto other = open();
    ASSERT_TRUE(other->seek("Baker"));
    EXPECT_EQ(trimmed(other->fieldText("CITY")), "Dover");
}

// The server stored the save, and its answer was lost with the connection: the book finds the
// record by its identity and says it is stored, once.
TEST_F(PgBookTest, replyLostAfterTheServerStoredIt_savedOnceWithoutASecondPress) {
    TcpProxy proxy(cluster().socketDir() / ".s.PGSQL.5432");
    auto book = records::openCustomerBookAt("postgresql://postgres@127.0.0.1:" + std::to_string(proxy.port()) + "/" +
                                            database() + "?sslmode=disable");
    proxy.setMode(TcpProxy::Mode::DropNextReply);
    book->append({{"NAME", "Adams"}});
    EXPECT_EQ(proxy.mode(), TcpProxy::Mode::Pass) << "no reply was dropped";
    EXPECT_EQ(name(*book), "Adams");
    proxy.setMode(TcpProxy::Mode::DropNextReply);
    book->update({{"CITY", "Dover"}});
    EXPECT_EQ(proxy.mode(), TcpProxy::Mode::Pass) << "no reply was dropped";
    EXPECT_EQ(trimmed(book->fieldText("CITY")), "Dover");
    auto other = open();
    EXPECT_EQ(other->count(), 1u);
    EXPECT_EQ(trimmed(other->fieldText("CITY")), "Dover");

    // The server cannot be asked after the loss: the save fails, and the same record saved
    // again when the network is back is found, not stored twice.
    proxy.setMode(TcpProxy::Mode::DropNextReply, TcpProxy::Mode::Refuse);
    EXPECT_THROW(book->append({{"NAME", "Baker"}}), EBookError);
    proxy.setMode(TcpProxy::Mode::Pass);
    book->append({{"NAME", "Baker"}});
    EXPECT_EQ(name(*book), "Baker");
    EXPECT_EQ(other->count(), 2u);
}

// A network that goes silent while the book is open: a read gives up within about 20 s and says
// so, naming the server.
TEST_F(PgBookTest, networkSilentWhileOpen_readGivesUpNamingTheServer) {
    TcpProxy proxy(cluster().socketDir() / ".s.PGSQL.5432");
    auto book = records::openCustomerBookAt("postgresql://postgres@127.0.0.1:" + std::to_string(proxy.port()) + "/" +
                                            database() + "?sslmode=disable");
    proxy.setMode(TcpProxy::Mode::Silent);
    const auto started = std::chrono::steady_clock::now();
    try {
        (void)book->count();
        ADD_FAILURE() << "counted through a silent network";
    } catch (const EBookError& e) {
        const std::string m = e.what();
        EXPECT_NE(m.find("127.0.0.1:" + std::to_string(proxy.port())), std::string::npos) << m;
        EXPECT_NE(m.find("sent nothing for 20 s"), std::string::npos) << m;
    }
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(30));
    proxy.setMode(TcpProxy::Mode::Pass);
    EXPECT_EQ(book->count(), 0u);
}

// A book from before the records' identities: the open brings it up, its old rows keep working.
TEST_F(PgBookTest, bookWithoutIdentities_upgradedByTheOpenWithItsRowsKept) {
    sql("INSERT INTO saved_setups (name) VALUES ('Old')");
    sql("DROP INDEX saved_setups_setup_id");
    sql("ALTER TABLE saved_setups DROP COLUMN setup_id");
    sql("UPDATE saved_setups_schema SET version = 1");
    auto book = open();
    EXPECT_EQ(name(*book), "Old");
    book->update({{"CITY", "Kept"}});
    book->append({{"NAME", "New"}});
    EXPECT_EQ(book->count(), 2u);
    EXPECT_NE(records::initServerBook(url()).find("up to date"), std::string::npos);
}

TEST_F(PgBookTest, openingABookWithoutOrWithANewerSchema_saysWhatToDo) {
    const std::string bare = cluster().createDatabase();
    try {
        records::openCustomerBookAt(cluster().url(bare));
        ADD_FAILURE() << "opened a database without the book's tables";
    } catch (const EBookError& e) {
        EXPECT_NE(std::string(e.what()).find("customers init"), std::string::npos) << e.what();
    }
    EXPECT_NE(records::initServerBook(cluster().url(bare)).find("Created"), std::string::npos);
    auto book = records::openCustomerBookAt(cluster().url(bare));
    book->append({{"NAME", "Kept"}});
    EXPECT_NE(records::initServerBook(cluster().url(bare)).find("up to date"), std::string::npos);
    EXPECT_EQ(records::openCustomerBookAt(cluster().url(bare))->count(), 1u);

    cluster().exec("UPDATE saved_setups_schema SET version = 99", bare);
    for (const auto& step :
         std::vector<std::function<void()>>{[&] { records::openCustomerBookAt(cluster().url(bare)); },
                                            [&] { records::initServerBook(cluster().url(bare)); }}) {
        try {
            step();
            ADD_FAILURE() << "a newer schema was taken";
        } catch (const EBookError& e) {
            EXPECT_NE(std::string(e.what()).find("newer"), std::string::npos) << e.what();
        }
    }
}

TEST_F(PgBookTest, openedBook_standsOnTheFirstRecordInNameOrder) {
    {
        auto empty = open();
        EXPECT_TRUE(empty->eof());
    }
    auto entry = open();
    for (const char* n : {"Carter", "Adams", "Baker"}) {
        entry->append({{"NAME", n}});
    }
    auto lookup = open();
    ASSERT_FALSE(lookup->eof());
    EXPECT_EQ(name(*lookup), "Adams");
    lookup->next();
    EXPECT_EQ(name(*lookup), "Baker");
}

// An address's own options keep their settings and gain the program's statement timeout.
TEST_F(PgBookTest, addressWithOptions_keepsThemAndTheStatementTimeout) {
    sql("CREATE SCHEMA shop");
    for (const std::string& extra : {std::string(), std::string("&options=-c%20search_path%3Dshop"),
                                     std::string("&options=-c%20search_path%3Dshop%20-c%20statement_timeout%3D0")}) {
        records::PgConnection c(url() + extra);
        EXPECT_EQ(c.exec("SHOW statement_timeout", {}, "testing").text(0, 0), "15s") << extra;
        if (!extra.empty()) {
            EXPECT_EQ(c.exec("SHOW search_path", {}, "testing").text(0, 0), "shop");
        }
    }
}

// A host that takes the connection and never answers: given up after 5 s, whatever the address
// asks for, with a message that names the server and database.
TEST_F(PgBookTest, hostThatNeverAnswers_connectingGivesUpWithin5s) {
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_GE(listener, 0);
    sockaddr_in at{};
    at.sin_family = AF_INET;
    at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof at;
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&at), length), 0);
    ASSERT_EQ(::listen(listener, 4), 0); // the kernel completes the handshake; nobody reads
    ASSERT_EQ(::getsockname(listener, reinterpret_cast<sockaddr*>(&at), &length), 0);
    const std::string port = std::to_string(ntohs(at.sin_port));
    const auto started = std::chrono::steady_clock::now();
    try {
        records::PgConnection c("postgresql://shop@127.0.0.1:" + port + "/silent?connect_timeout=60&sslmode=disable");
        ADD_FAILURE() << "connected to a host that never answers";
    } catch (const EBookError& e) {
        EXPECT_NE(std::string(e.what()).find("127.0.0.1:" + port + ", database silent"), std::string::npos) << e.what();
    }
    const auto waited = std::chrono::steady_clock::now() - started;
    EXPECT_GE(waited, std::chrono::seconds(4));
    EXPECT_LT(waited, std::chrono::seconds(8));
    ::close(listener);
}

// The backup the user's guide gives: pg_dump of the whole database, pg_restore into an empty one.
TEST_F(PgBookTest, guidesBackup_restoresEveryRecordInNameOrder) {
    auto book = open();
    for (const char* n : {"Šimon", "€uro", "Adams", "Adams", "Émile"}) {
        book->append({{"NAME", n}, {"COMMENTS", std::string("about ") + n}});
    }
    const std::string dump = (cluster().socketDir() / "book.dump").string();
    cluster().runTool("pg_dump", {"--format=custom", "--file=" + dump, database()});
    const std::string restored = cluster().createDatabase();
    cluster().runTool("pg_restore", {"--dbname=" + restored, dump});

    auto copy = records::openCustomerBookAt(cluster().url(restored));
    std::vector<std::string> names;
    for (copy->first(); !copy->eof(); copy->next()) {
        names.push_back(name(*copy) + "/" + copy->fieldText("COMMENTS"));
    }
    EXPECT_EQ(names, (std::vector<std::string>{"Adams/about Adams", "Adams/about Adams", "€uro/about €uro",
                                               "Šimon/about Šimon", "Émile/about Émile"}));
    copy->append({{"NAME", "After"}}); // the sequence carries on past the restored records
    EXPECT_EQ(copy->count(), 6u);
}

} // namespace
} // namespace arrowsel::test
