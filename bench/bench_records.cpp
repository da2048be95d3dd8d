// SPDX-License-Identifier: GPL-3.0-or-later
// Customer records at a large shop's scale: 100,000 saved setups. Opening the lookup, a search,
// a save (post and rebuild of the name index) and the export, each through the windows' own code.

#include "bench/customer_folder.h"
#include "data/dbf_table.h"
#include "records/cust_info.h"
#include "records/get_cust.h"
#include "records/record_commands.h"
#include "tests/support/recording_seam.h"
#include "tools/gen/tables.h"
#include "ui/message_seam.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace {

using arrowsel::MainWindowState;
namespace data = arrowsel::data;
namespace records = arrowsel::records;

constexpr std::uint32_t kRecords = 100000;

class BenchMainWindow : public MainWindowState {
public:
    std::filesystem::path folder;
    std::string editText(Edit) const override { return "60"; }
    int itemIndex(Group) const override { return 0; }
    Page page() const override { return Page::Hunt; }
    std::string labelText(Label l) const override { return l == Label::TmpLbl2 ? "Hunt" : ""; }
    std::string cellCaption(Page, int, Column) const override { return {}; }
    std::filesystem::path dataFolder() const override { return folder; }
    void setPage(Page) override {}
    void setEditText(Edit, const std::string&) override {}
    void setItemIndex(Group, int) override {}
};

QApplication& app() {
    static int argc = 1;
    static char name[] = "bench_records";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    static QApplication a(argc, argv);
    return a;
}

using arrowsel::bench::customerName;

struct Folder : arrowsel::bench::CustomerFolder {
    Folder() : CustomerFolder("records", kRecords) {}
};

const Folder& folder() {
    static Folder f;
    return f;
}

void type(QWidget* edit, const QString& text) {
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(edit, &press);
    }
}

void BM_OpenLookup(benchmark::State& state) {
    app();
    BenchMainWindow main;
    main.folder = folder().path;
    for (auto _ : state) {
        records::TGetCust w(main);
        if (!w.FormActivate()) {
            state.SkipWithError("lookup did not open");
            break;
        }
    }
}

void BM_Search(benchmark::State& state) {
    app();
    BenchMainWindow main;
    main.folder = folder().path;
    arrowsel::test::RecordingSeam seam;
    records::TGetCust w(main);
    w.FormActivate();
    std::uint32_t i = 1;
    for (auto _ : state) {
        seam.inputs = {QString::fromStdString(customerName(i).substr(0, 16))};
        w.Button1Click();
        i = i * 7 % kRecords + 1;
    }
    if (!seam.texts(arrowsel::test::RecordingSeam::Kind::Message).isEmpty()) {
        state.SkipWithError("a search found nothing");
    }
}

void BM_SaveWithIndexRebuild(benchmark::State& state) {
    app();
    BenchMainWindow main;
    main.folder = folder().path;
    arrowsel::test::RecordingSeam seam;
    for (auto _ : state) {
        records::TCustInfo w(main);
        w.FormActivate();
        type(w.findChild<QWidget*>(QStringLiteral("DBEdit1")), QStringLiteral("Bench Customer"));
        type(w.findChild<QWidget*>(QStringLiteral("DBEdit6")), QStringLiteral("1 Road"));
        type(w.findChild<QWidget*>(QStringLiteral("DBEdit8")), QStringLiteral("Town"));
        type(w.findChild<QWidget*>(QStringLiteral("DBEdit9")), QStringLiteral("OH"));
        w.PostBtnClick();
    }
    if (seam.texts(arrowsel::test::RecordingSeam::Kind::Message).size() != static_cast<int>(state.iterations())) {
        state.SkipWithError("a save did not succeed");
    }
}

void BM_Export(benchmark::State& state) {
    app();
    BenchMainWindow main;
    main.folder = folder().path;
    arrowsel::test::RecordingSeam seam;
    for (auto _ : state) {
        if (!records::exportCustomerDatabase(nullptr, main)) {
            state.SkipWithError("export failed");
            break;
        }
    }
}

// A lookup opening on a customer whose comments are 1 MiB (what older versions let Save Setup
// store): of one word without a break, or of NULs. Read, laid out and painted, in the time a
// clerk does not notice (the target is 100 ms).
void BM_OpenLookupLongComment(benchmark::State& state) {
    app();
    char name[] = "/tmp/bench_comment.XXXXXX";
    const std::filesystem::path dir = ::mkdtemp(name);
    arrowsel::sampledata::writeSavedSetups(dir);
    {
        data::TDbfTable t;
        t.open(dir / "Saveddb.dbf");
        t.openIndexFile("Saved.idx");
        t.insert();
        t.setFieldText("NAME", "Long Comment");
        t.setFieldText("COMMENTS", std::string(std::size_t{1} << 20, state.range(0) == 0 ? 'w' : '\0'));
        t.post();
    }
    BenchMainWindow main;
    main.folder = dir;
    arrowsel::test::RecordingSeam seam;
    for (auto _ : state) {
        records::TGetCust w(main);
        w.show();
        if (!w.FormActivate()) {
            state.SkipWithError("lookup did not open");
            break;
        }
        QApplication::processEvents();
        w.repaint();
    }
    std::filesystem::remove_all(dir);
}

BENCHMARK(BM_OpenLookup)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_OpenLookupLongComment)->Arg(0)->Arg(1)->ArgNames({"nuls"})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Search)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_SaveWithIndexRebuild)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_Export)->Unit(benchmark::kMillisecond)->Iterations(10);

} // namespace
