// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/data_setup.h"
#include "tests/support/child_process.h"
#include "tests/support/io_faults.h"
#include "tests/support/temp_dir.h"

#include <QByteArray>
#include <csignal>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/stat.h>

namespace arrowsel::app {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

void writeFile(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// Points the per-user data folder at a temporary folder for the test's lifetime.
class DataSetupTest : public ::testing::Test {
protected:
    DataSetupTest() : saved_(qgetenv("XDG_DATA_HOME")) {
        qputenv("XDG_DATA_HOME", QByteArray::fromStdString(home.path().string()));
        writeFile(bundled / "HUNTCHRT.DBF", "bundled chart");
        writeFile(bundled / "invsel.txt", "bundled notice");
    }
    ~DataSetupTest() override { qputenv("XDG_DATA_HOME", saved_); }

    TempDir home, current, bundled;
    fs::path user() const { return home.path() / "arrowsel"; }

private:
    QByteArray saved_;
};

TEST_F(DataSetupTest, currentFolderWithTheChart_isUsedAndNothingIsCopied) {
    writeFile(current / "huntchrt.dbf", "local chart");
    const DataFolder result = prepareDataFolder(current.path(), {bundled.path()});
    EXPECT_EQ(result.folder, current.path());
    EXPECT_TRUE(result.problem.isEmpty());
    EXPECT_FALSE(fs::exists(user()));
}

TEST_F(DataSetupTest, userFolder_isSeededWithoutOverwritingTheUsersFiles) {
    fs::create_directories(user());
    writeFile(user() / "INVSEL.TXT", "the shop's own notice");
    const DataFolder result = prepareDataFolder(current.path(), {home.path() / "missing", bundled.path()});
    EXPECT_EQ(result.folder, user());
    EXPECT_TRUE(result.problem.isEmpty()) << result.problem.toStdString();
    EXPECT_EQ(readFile(user() / "HUNTCHRT.DBF"), "bundled chart");
    EXPECT_EQ(readFile(user() / "INVSEL.TXT"), "the shop's own notice");
    EXPECT_FALSE(fs::exists(user() / "invsel.txt") && !fs::equivalent(user() / "invsel.txt", user() / "INVSEL.TXT"));

    writeFile(user() / "HUNTCHRT.DBF", "edited chart");
    prepareDataFolder(current.path(), {bundled.path()});
    EXPECT_EQ(readFile(user() / "HUNTCHRT.DBF"), "edited chart");
}

// The customers' names and addresses are kept there: under the usual umask 022 the folder the
// program makes (and one above it that it makes too) is the user's alone; one that exists keeps
// the mode it was given.
TEST_F(DataSetupTest, userFolderItCreates_isPrivateToTheUser) {
    const auto mode = [](const fs::path& p) { return fs::status(p).permissions() & fs::perms::all; };
    const ::mode_t umask = ::umask(022);
    const fs::path deeper = home.path() / "share";
    qputenv("XDG_DATA_HOME", QByteArray::fromStdString(deeper.string()));
    const DataFolder made = prepareDataFolder(current.path(), {bundled.path()});
    EXPECT_EQ(made.folder, deeper / "arrowsel");
    EXPECT_EQ(mode(deeper), fs::perms::owner_all);
    EXPECT_EQ(mode(deeper / "arrowsel"), fs::perms::owner_all);

    fs::permissions(deeper / "arrowsel", fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec);
    prepareDataFolder(current.path(), {bundled.path()});
    EXPECT_EQ(mode(deeper / "arrowsel"), fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec);
    ::umask(umask);
}

// The first start killed at every write, sync and rename of its copies: the next start finds
// each file whole or not there yet, and copies what is missing; never a part of a file that
// "never overwrites" would keep for good.
TEST_F(DataSetupTest, aKillAtEveryStepOfTheFirstStartsCopies_leavesWholeFilesOnly) {
    writeFile(bundled / "Saveddb.fpt", std::string(512, '\x07'));
    int kills = 0;
    for (int at = 1; at < 100; ++at) {
        SCOPED_TRACE("killed at step " + std::to_string(at));
        TempDir target;
        const int status = test::waitChild(test::runChild([&] {
            test::IoFaults faults;
            faults.atNewFileIo(at, test::kKill);
            seedFolder(bundled.path(), target.path(), &faults);
        }));
        const bool killed = WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
        for (const auto& entry : fs::directory_iterator(target.path())) {
            const std::string name = entry.path().filename().string();
            if (name.front() != '.') {
                EXPECT_EQ(readFile(entry.path()), readFile(bundled / name)) << name;
            }
        }
        seedFolder(bundled.path(), target.path());
        for (const char* name : {"HUNTCHRT.DBF", "invsel.txt", "Saveddb.fpt"}) {
            EXPECT_EQ(readFile(target / name), readFile(bundled / name)) << name;
        }
        if (!killed) {
            break;
        }
        ++kills;
    }
    EXPECT_EQ(kills, 12); // three files, each written, synced, renamed and its folder synced
}

TEST_F(DataSetupTest, noChartsAnywhere_giveAMessageNamingTheFolder) {
    const DataFolder result = prepareDataFolder(current.path(), {home.path() / "missing"});
    EXPECT_EQ(result.folder, user());
    EXPECT_TRUE(result.problem.contains(QString::fromStdString(user().string()))) << result.problem.toStdString();
    EXPECT_TRUE(result.problem.contains(QStringLiteral("HUNTCHRT.DBF")));
}

} // namespace
} // namespace arrowsel::app
