// arrowsel-cli's customer commands against a real server.

#include "tests/pgbook/pg_fixture.h"

#include <array>
#include <cstdio>
#include <sys/wait.h>

namespace arrowsel::test {
namespace {

struct Outcome {
    int status = -1;
    std::string output; // stdout and stderr together
};

// Runs arrowsel-cli with `args` (the test's own texts, quoted for the shell).
Outcome cli(const std::vector<std::string>& args) {
    std::string command = ARROWSEL_BINARY_DIR "/tools/arrowsel-cli";
    for (const std::string& a : args) {
        std::string quoted = "'";
        for (const char c : a) {
            quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
        }
        command += " " + quoted + "'";
    }
    command += " 2>&1";
    Outcome out;
    FILE* p = ::popen(command.c_str(), "r");
    if (p == nullptr) {
        return out;
    }
    std::array<char, 4096> buf{};
    std::size_t n = 0;
    while ((n = std::fread(buf.data(), 1, buf.size(), p)) > 0) {
        out.output.append(buf.data(), n);
    }
    const int status = ::pclose(p);
    out.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return out;
}

using CliBooks = PgBookTest;

TEST_F(CliBooks, init_createsOnceThenChangesNothing_andRefusesWhatItCannotDo) {
    const std::string fresh = cluster().createDatabase();
    const std::string url = cluster().url(fresh);
    Outcome first = cli({"customers", "init", "--book", url});
    EXPECT_EQ(first.status, 0) << first.output;
    EXPECT_NE(first.output.find("Created the customer book"), std::string::npos) << first.output;
    records::openCustomerBookAt(url)->append({{"NAME", "Kept"}});
    Outcome again = cli({"customers", "init", "--book=" + url});
    EXPECT_EQ(again.status, 0) << again.output;
    EXPECT_NE(again.output.find("up to date"), std::string::npos) << again.output;
    EXPECT_EQ(records::openCustomerBookAt(url)->count(), 1u);

    Outcome missing = cli({"customers", "init", "--book", cluster().url("no_such_db")});
    EXPECT_EQ(missing.status, 1) << missing.output;
    EXPECT_NE(missing.output.find("database no_such_db"), std::string::npos) << missing.output;
    EXPECT_EQ(cli({"customers", "init", "--book", "/some/folder"}).status, 64);
    EXPECT_EQ(cli({"customers", "init"}).status, 64);
}

} // namespace
} // namespace arrowsel::test
