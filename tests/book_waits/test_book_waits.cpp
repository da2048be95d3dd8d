// SPDX-License-Identifier: GPL-3.0-or-later
// The customer windows while their book keeps them waiting: a lock another counter holds on the
// files, a network to the server that goes silent. The window's event loop must keep answering,
// say what it waits for, let the user stop waiting with what was typed still there, and store
// nothing twice.
#include "data/dbf_header.h"
#include "data/file_io.h"
#include "records/cust_info.h"
#include "records/get_cust.h"
#include "records/pg_schema.h"
#include "tests/records/records_fixture.h"
#include "tests/support/child_process.h"
#include "tests/support/pg_cluster.h"
#include "tests/support/tcp_proxy.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QTimer>
#include <chrono>
#include <csignal>
#include <fstream>
#include <thread>

namespace arrowsel::test {
namespace {

using Kind = RecordingSeam::Kind;
using Nav = records::TGetCust::NavButton;
using namespace std::chrono_literals;

// The longest the event loop went without running a 10 ms timer, while it is measured.
class LoopWatch {
public:
    LoopWatch() {
        QObject::connect(&tick_, &QTimer::timeout, [this] { longest_ = std::max(longest_, since_.restart()); });
        since_.start();
        tick_.start(10);
    }
    qint64 longestGapMs() const { return longest_; }

private:
    QTimer tick_;
    QElapsedTimer since_;
    qint64 longest_ = 0;
};

// What the wait line of `window` (or of the wait's own small window) says at `after`, and a
// click on its Cancel then, when `cancel`.
struct WaitSeen {
    QString line;
    bool lineShown = false;
};
void watchWait(QWidget& window, std::chrono::milliseconds after, WaitSeen& seen, bool cancel) {
    QTimer::singleShot(after, &window, [&window, &seen, cancel] {
        QWidget* top = &window;
        auto* line = top->findChild<QLabel*>(QStringLiteral("BookWaitLine"));
        if (line == nullptr) {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                if (w->objectName() == QStringLiteral("BookWaitWindow") && w->isVisible()) {
                    line = w->findChild<QLabel*>(QStringLiteral("BookWaitLine"));
                }
            }
        }
        if (line == nullptr) {
            return;
        }
        seen.line = line->text();
        seen.lineShown = line->isVisible();
        if (cancel) {
            line->parentWidget()->findChild<QPushButton*>(QStringLiteral("BookWaitCancel"))->click();
        }
    });
}

class FilesWait : public RecordsTest {
protected:
    // Another counter holds the table's header lock (as a long save does) for `hold`.
    pid_t holdTheFiles(std::chrono::milliseconds hold) {
        int ready[2];
        EXPECT_EQ(::pipe(ready), 0);
        const pid_t pid = runChild([this, hold, &ready] {
            data::File f;
            if (f.open(dir / "Saveddb.dbf", data::File::Access::ReadWrite) != 0) {
                throw std::runtime_error("cannot open the table");
            }
            f.lock(data::dbf::kHeaderLock, data::File::LockType::Write);
            [[maybe_unused]] const auto sent = ::write(ready[1], "x", 1);
            std::this_thread::sleep_for(hold);
        });
        char c = 0;
        [[maybe_unused]] const auto got = ::read(ready[0], &c, 1);
        ::close(ready[0]);
        ::close(ready[1]);
        return pid;
    }

    // The entry window shown with a customer typed, and another counter holding the files.
    pid_t typedWhileHeld(const QString& name, std::chrono::milliseconds hold) {
        EXPECT_TRUE(entry.FormActivate());
        entry.show();
        type(child<QLineEdit>(entry, "DBEdit1"), name);
        type(child<QLineEdit>(entry, "DBEdit6"), QStringLiteral("1 Main St"));
        type(child<QLineEdit>(entry, "DBEdit8"), QStringLiteral("Springfield"));
        type(child<QLineEdit>(entry, "DBEdit9"), QStringLiteral("IL"));
        return holdTheFiles(hold);
    }

    records::TCustInfo entry{main};
    WaitSeen seen;
};

TEST_F(FilesWait, saveBehindAnotherCountersLock_windowAnswersSaysWhyAndStoresOnce) {
    const pid_t other = typedWhileHeld(QStringLiteral("Adams"), 1500ms);
    watchWait(entry, 600ms, seen, false);
    const LoopWatch watch;
    entry.PostBtnClick();
    EXPECT_LT(watch.longestGapMs(), 100);
    EXPECT_TRUE(seen.lineShown);
    EXPECT_TRUE(seen.line.contains(QString::fromStdString(dir.path().string()))) << seen.line.toStdString();
    EXPECT_EQ(seam.texts(Kind::Message), QStringList{QStringLiteral("New record has been successfully added")});
    EXPECT_EQ(savedCount(), 1u);
    EXPECT_EQ(waitChild(other), 0);
}

TEST_F(FilesWait, cancelledSave_keepsTheTypingAndASecondPressStoresNothingTwice) {
    const pid_t other = typedWhileHeld(QStringLiteral("Baker"), 1000ms);
    watchWait(entry, 400ms, seen, true);
    entry.PostBtnClick();
    EXPECT_TRUE(seen.lineShown);
    EXPECT_TRUE(entry.isVisible());
    EXPECT_EQ(textOf(entry, "DBEdit1"), QStringLiteral("Baker"));
    EXPECT_TRUE(child<QLineEdit>(entry, "DBEdit1")->isEnabled());
    EXPECT_TRUE(seam.entries.empty());

    entry.PostBtnClick(); // while the first save still waits for the lock
    EXPECT_EQ(waitChild(other), 0);
    EXPECT_EQ(seam.texts(Kind::Message), QStringList{QStringLiteral("New record has been successfully added")});
    EXPECT_EQ(savedCount(), 1u);
    EXPECT_EQ(namesInIndexOrder(), std::vector<std::string>{"Baker"});
}

TEST_F(FilesWait, cancelledSaveThatEndsStoredLater_saysSoAndCloses) {
    const pid_t other = typedWhileHeld(QStringLiteral("Carter"), 600ms);
    watchWait(entry, 300ms, seen, true);
    entry.PostBtnClick();
    ASSERT_TRUE(entry.isVisible());
    EXPECT_EQ(waitChild(other), 0);
    QElapsedTimer waited;
    waited.start();
    while (entry.isVisible() && waited.elapsed() < 5000) {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    EXPECT_FALSE(entry.isVisible());
    EXPECT_EQ(seam.texts(Kind::Message), QStringList{QStringLiteral("New record has been successfully added")});
    EXPECT_EQ(savedCount(), 1u);
}

TEST_F(FilesWait, lockHeldForLong_saveGivesUpNamingTheFolderWithTheTypingKept) {
    const pid_t other = typedWhileHeld(QStringLiteral("Dunn"), 10s);
    const LoopWatch watch;
    entry.PostBtnClick();
    EXPECT_LT(watch.longestGapMs(), 100);
    ::kill(other, SIGKILL);
    waitChild(other);
    ASSERT_EQ(seam.texts(Kind::Error).size(), 1);
    const QString error = seam.texts(Kind::Error)[0];
    EXPECT_TRUE(error.contains(QString::fromStdString(dir.path().string()))) << error.toStdString();
    EXPECT_TRUE(error.contains(QStringLiteral("Another counter holds the customer book"))) << error.toStdString();
    EXPECT_EQ(textOf(entry, "DBEdit1"), QStringLiteral("Dunn"));
    EXPECT_EQ(savedCount(), 0u);
}

PgCluster& cluster() {
    static PgCluster c;
    return c;
}

class ServerWait : public RecordsTest {
protected:
    void SetUp() override {
        database_ = cluster().createDatabase();
        records::initServerBook(cluster().url(database_));
        for (const char* name : {"Adams", "Baker"}) {
            auto book = records::openCustomerBookAt(cluster().url(database_));
            book->append({{"NAME", name}, {"ADDR1", "1 Main St"}, {"CITY", "Springfield"}, {"STATE", "IL"}});
        }
        std::ofstream(dir / "arrowsel.ini") << "[customers]\nbook=postgresql://postgres@127.0.0.1:" << proxy_.port()
                                            << "/" << database_ << "?sslmode=disable\n";
    }

    std::string storedCity(const char* name) {
        auto book = records::openCustomerBookAt(cluster().url(database_));
        EXPECT_TRUE(book->seek(name));
        return std::string(data::trimTrailingSpaces(book->fieldText("CITY")));
    }

    // The lookup shown on the book through the proxy, and the line its waits show.
    void showLookup() {
        ASSERT_TRUE(lookup.FormActivate());
        lookup.show();
        ASSERT_EQ(textOf(lookup, "DBEdit1"), QStringLiteral("Adams"));
    }

    std::string database_;
    TcpProxy proxy_{cluster().socketDir() / ".s.PGSQL.5432"};
    records::TGetCust lookup{main};
    WaitSeen seen;
};

TEST_F(ServerWait, silentNetwork_lookupAnswersNamesTheServerAndKeepsTheTypingThroughCancel) {
    showLookup();

    // A move: cancelled, the window answers at once and shows the record when it arrives.
    proxy_.setMode(TcpProxy::Mode::Silent);
    watchWait(lookup, 400ms, seen, true);
    const LoopWatch watch;
    lookup.DBNavigator1Click(Nav::Next);
    EXPECT_LT(watch.longestGapMs(), 100);
    EXPECT_TRUE(seen.lineShown);
    EXPECT_TRUE(seen.line.contains(QStringLiteral("127.0.0.1:%1").arg(proxy_.port()))) << seen.line.toStdString();
    proxy_.setMode(TcpProxy::Mode::Pass);
    QElapsedTimer waited;
    waited.start();
    while (textOf(lookup, "DBEdit1") != QStringLiteral("Baker") && waited.elapsed() < 5000) {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    EXPECT_EQ(textOf(lookup, "DBEdit1"), QStringLiteral("Baker"));

    // A post: cancelled, what was typed stays; posted again, it is stored once, without a clash.
    auto* city = child<QLineEdit>(lookup, "DBEdit8");
    city->selectAll();
    type(city, QStringLiteral("Dover"));
    proxy_.setMode(TcpProxy::Mode::Silent);
    watchWait(lookup, 400ms, seen, true);
    lookup.DBNavigator1Click(Nav::Post);
    EXPECT_EQ(city->text(), QStringLiteral("Dover"));
    proxy_.setMode(TcpProxy::Mode::Pass);
    lookup.DBNavigator1Click(Nav::Post);
    EXPECT_TRUE(seam.texts(Kind::Question).isEmpty());
    EXPECT_TRUE(seam.texts(Kind::Error).isEmpty()) << seam.texts(Kind::Error).join(QStringLiteral("\n")).toStdString();
    EXPECT_EQ(storedCity("Baker"), "Dover");
    for (const auto& e : seam.entries) {
        EXPECT_FALSE(e.text.contains(QStringLiteral("password"), Qt::CaseInsensitive));
    }
}

TEST_F(ServerWait, slowOrCutLink_windowAnswersAndAPostIsStoredOnceWithoutASecondPress) {
    showLookup();

    // A slow link: the wait shows its line, and the record arrives without anything pressed.
    proxy_.setDelay(400ms);
    proxy_.setMode(TcpProxy::Mode::Delay);
    watchWait(lookup, 300ms, seen, false);
    const LoopWatch watch;
    lookup.DBNavigator1Click(Nav::Next);
    EXPECT_LT(watch.longestGapMs(), 100);
    EXPECT_TRUE(seen.lineShown);
    EXPECT_EQ(textOf(lookup, "DBEdit1"), QStringLiteral("Baker"));

    // The connection cut under a post: it is sent again on a fresh one, by itself, and stored once.
    proxy_.setMode(TcpProxy::Mode::Pass);
    auto* city = child<QLineEdit>(lookup, "DBEdit8");
    city->selectAll();
    type(city, QStringLiteral("Erie"));
    proxy_.cutAll();
    lookup.DBNavigator1Click(Nav::Post);
    EXPECT_TRUE(seam.entries.empty()) << seam.entries.front().text.toStdString();
    EXPECT_EQ(storedCity("Baker"), "Erie");
    EXPECT_EQ(records::openCustomerBookAt(cluster().url(database_))->count(), 2u);
}

} // namespace
} // namespace arrowsel::test
