// SPDX-License-Identifier: GPL-3.0-or-later
// arrowsel-cli's customer commands against a real server.

#include "data/text.h"
#include "records/file_book.h"
#include "records/saved_layout.h"
#include "tests/pgbook/pg_fixture.h"
#include "tests/support/run_cli.h"
#include "tests/support/temp_dir.h"
#include "tools/gen/tables.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <tuple>

namespace arrowsel::test {
namespace {

using Outcome = CliOutcome;

// arrowsel-cli's standard output and error together.
Outcome cli(const std::vector<std::string>& args) {
    return runCli(args, CliStderr::Kept);
}

using CliBooks = PgBookTest;

TEST_F(CliBooks, init_createsOnceThenChangesNothing_andRefusesWhatItCannotDo) {
    const std::string fresh = cluster().createDatabase();
    const std::string url = cluster().url(fresh);
    Outcome first = cli({"customers", "init", "--book", url});
    EXPECT_EQ(first.status, 0) << first.out;
    EXPECT_NE(first.out.find("Created the customer book"), std::string::npos) << first.out;
    records::openCustomerBookAt(url)->append({{"NAME", "Kept"}});
    Outcome again = cli({"customers", "init", "--book=" + url});
    EXPECT_EQ(again.status, 0) << again.out;
    EXPECT_NE(again.out.find("up to date"), std::string::npos) << again.out;
    EXPECT_EQ(records::openCustomerBookAt(url)->count(), 1u);

    Outcome missing = cli({"customers", "init", "--book", cluster().url("no_such_db")});
    EXPECT_EQ(missing.status, 69) << missing.out; // the book cannot be reached, as the message says
    EXPECT_NE(missing.out.find("database no_such_db"), std::string::npos) << missing.out;
    EXPECT_EQ(cli({"customers", "init", "--book", "/some/folder"}).status, 64);
    EXPECT_EQ(cli({"customers", "init"}).status, 64);
}

std::string readFile(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// A book moved files -> server -> files keeps every record, its order and its bytes: the three
// exports are identical, and a search lands on the same record in each.
TEST_F(CliBooks, copyFilesToServerAndBack_exportsAndFindsAlike) {
    TempDir dir;
    const std::filesystem::path from = dir / "from";
    const std::filesystem::path back = dir / "back";
    std::filesystem::create_directories(from);
    std::filesystem::create_directories(back);
    records::FileBook::create(from, records::savedSetupFields());
    {
        auto files = records::openCustomerBookAt(from.string());
        files->append({{"NAME", "Šimon"}, {"CITY", "Brno"}, {"DATE", "20261208"}, {"HORT", "1"}});
        files->append({{"NAME", "€uro Archery"}, {"COMMENTS", "pays in euros\r\n\"always\""}});
        files->append({{"NAME", "Adams"}, {"ADDR1", "1 Main St"}, {"ODLEN", "3"}});
        files->append({{"NAME", "Émile"}, {"COUNTRY", "France"}, {"BOWWT", "52.5"}});
        files->append({{"NAME", "Adams"}, {"ADDR1", "2 Second St"}});
    }
    const std::string server = url();

    Outcome copied = cli({"customers", "copy", "--from", from.string(), "--to", server});
    EXPECT_EQ(copied.status, 0) << copied.out;
    EXPECT_NE(copied.out.find("5 customer records copied"), std::string::npos) << copied.out;
    Outcome refused = cli({"customers", "copy", "--from", from.string(), "--to", server});
    EXPECT_EQ(refused.status, 1) << refused.out;
    EXPECT_NE(refused.out.find("--replace"), std::string::npos) << refused.out;
    Outcome replaced = cli({"customers", "copy", "--from", from.string(), "--to", server, "--replace"});
    EXPECT_EQ(replaced.status, 0) << replaced.out;
    EXPECT_EQ(records::openCustomerBookAt(server)->count(), 5u);
    Outcome home = cli({"customers", "copy", "--from", server, "--to", back.string()});
    EXPECT_EQ(home.status, 0) << home.out;

    std::vector<std::string> exports;
    for (const std::string& book : {from.string(), server, back.string()}) {
        const std::filesystem::path out = dir / ("export" + std::to_string(exports.size()) + ".txt");
        Outcome exported = cli({"customers", "export", "--book", book, "--out", out.string()});
        EXPECT_EQ(exported.status, 0) << exported.out;
        exports.push_back(readFile(out));
    }
    EXPECT_NE(exports[0].find("\x8Aimon"), std::string::npos) << "not in Windows-1252: " << exports[0];
    EXPECT_EQ(exports[1], exports[0]);
    EXPECT_EQ(exports[2], exports[0]);

    for (const char* prefix : {"Š", "Adams", "€", "Zz"}) {
        const Outcome files = cli({"customers", "find", prefix, "--book", from.string(), "--json"});
        const Outcome pg = cli({"customers", "find", prefix, "--book", server, "--json"});
        EXPECT_EQ(pg.status, files.status) << prefix;
        EXPECT_EQ(pg.out, files.out) << prefix;
    }
}

TEST_F(CliBooks, serverDown_commandsFailNamingTheServer) {
    TempDir dir;
    cluster().stop();
    const Outcome exported = cli({"customers", "export", "--book", url(), "--out", (dir / "x.txt").string()});
    const Outcome found = cli({"customers", "find", "A", "--book", url()});
    cluster().start();
    for (const Outcome& o : {exported, found}) {
        EXPECT_EQ(o.status, 69) << o.out; // not 1, which find gives for "no such customer"
        EXPECT_NE(o.out.find(cluster().socketDir().string() + ":5432, database " + database()), std::string::npos)
            << o.out;
    }
    EXPECT_FALSE(std::filesystem::exists(dir / "x.txt"));
}

TEST_F(CliBooks, init_rebuildsATableThatIsGoneWhileItsVersionRowRemains) {
    records::openCustomerBookAt(url())->append({{"NAME", "Lost"}});
    sql("DROP TABLE saved_setups");
    Outcome repaired = cli({"customers", "init", "--book", url()});
    EXPECT_EQ(repaired.status, 0) << repaired.out;
    EXPECT_NE(repaired.out.find("Repaired"), std::string::npos) << repaired.out;
    EXPECT_NE(repaired.out.find("pg_restore"), std::string::npos) << repaired.out;
    auto book = records::openCustomerBookAt(url());
    EXPECT_EQ(book->count(), 0u);
    book->append({{"NAME", "Baker"}});
    book->append({{"NAME", "Adams"}});
    book->first();
    EXPECT_EQ(data::trimTrailingSpaces(book->fieldText("NAME")), "Adams"); // the name order works again
    Outcome again = cli({"customers", "init", "--book", url()});
    EXPECT_NE(again.out.find("up to date"), std::string::npos) << again.out;
}

// A NUL would be cut off by libpq, a byte Windows-1252 leaves undefined refused by the server's
// check: either stops the copy before anything is stored, naming the record and the field.
TEST_F(CliBooks, copyToTheServer_stopsAtWhatTheServerCannotHoldBeforeStoringAnything) {
    TempDir dir;
    records::FileBook::create(dir.path(), records::savedSetupFields());
    for (const auto& [name, comment, field] :
         {std::tuple<std::string, std::string, std::string>{std::string("Ad\0ams", 6), "", "NAME"},
          {"Baker", "paid \xC2\x81 cash", "COMMENTS"},
          {"Cole", "\xC2\x9D", "COMMENTS"}}) {
        TempDir one;
        records::FileBook::create(one.path(), records::savedSetupFields());
        {
            records::FileBook book(one.path());
            book.append({{"NAME", "Fine"}});
            book.append({{"NAME", name}, {"COMMENTS", comment}});
        }
        Outcome refused = cli({"customers", "copy", "--from", one.path().string(), "--to", url()});
        EXPECT_EQ(refused.status, 1) << refused.out;
        EXPECT_NE(refused.out.find("number 2"), std::string::npos) << refused.out;
        EXPECT_NE(refused.out.find("field " + field), std::string::npos) << refused.out;
        EXPECT_NE(refused.out.find("Nothing was copied"), std::string::npos) << refused.out;
        EXPECT_EQ(records::openCustomerBookAt(url())->count(), 0u);
    }
}

// With a service file the address names no server; every message names the one it points at.
TEST_F(CliBooks, aServiceAddress_messagesNameTheServerAndDatabaseItPointsAt) {
    TempDir dir;
    const std::string fresh = cluster().createDatabase();
    std::ofstream(dir / "services") << "[shop]\nhost=" << cluster().socketDir().string()
                                    << "\nport=5432\nuser=postgres\ndbname=" << fresh << "\n";
    ::setenv("PGSERVICEFILE", (dir / "services").c_str(), 1);
    const std::string where = cluster().socketDir().string() + ":5432, database " + fresh;
    const Outcome notSetUp = cli({"customers", "find", "A", "--book", "postgresql:///?service=shop"});
    const Outcome created = cli({"customers", "init", "--book", "postgresql:///?service=shop"});
    ::unsetenv("PGSERVICEFILE");
    EXPECT_EQ(notSetUp.status, 1) << notSetUp.out;
    EXPECT_NE(notSetUp.out.find(where), std::string::npos) << notSetUp.out;
    EXPECT_EQ(created.status, 0) << created.out;
    EXPECT_NE(created.out.find(where), std::string::npos) << created.out;
}

// check-data follows the settings to the server: the book there is checked, the folder's own
// customer files are not asked for, and a server that is down is the problem it names.
TEST_F(CliBooks, checkData_checksTheServerBookTheSettingsName) {
    TempDir folder;
    sampledata::writeDataFiles(std::filesystem::path(ARROWSEL_SOURCE_DIR) / "sampledata", folder.path());
    for (const char* customerFile : {"Saveddb.dbf", "Saveddb.fpt", "Saved.idx"}) {
        std::filesystem::remove(folder / customerFile);
    }
    std::ofstream(folder / "arrowsel.ini") << "[customers]\nbook=" << url() << "\n";
    const Outcome sound = cli({"check-data", "--data", folder.path().string()});
    EXPECT_EQ(sound.status, 0) << sound.out;
    EXPECT_EQ(sound.out.find("Saveddb"), std::string::npos) << sound.out;

    cluster().stop();
    const Outcome down = cli({"check-data", "--data", folder.path().string()});
    cluster().start();
    EXPECT_EQ(down.status, 1) << down.out;
    EXPECT_NE(down.out.find("arrowsel.ini: The customer book on the PostgreSQL server " +
                            cluster().socketDir().string() + ":5432, database " + database()),
              std::string::npos)
        << down.out;
}

} // namespace
} // namespace arrowsel::test
