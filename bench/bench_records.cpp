// Customer records at a large shop's scale: 100,000 saved setups. Opening the lookup, a search,
// a save (post and rebuild of the name index) and the export, each through the windows' own code.

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

std::string customerName(std::uint32_t i) {
    // Names in an order unrelated to record order, so the index really sorts.
    const std::uint32_t scrambled = (i * 2654435761u) % 1000003u;
    char buf[48];
    std::snprintf(buf, sizeof buf, "Customer %07u-%06u", scrambled, i);
    return buf;
}

// The shipped empty table, then 100,000 records appended as raw bytes, then the index rebuilt.
struct Folder {
    std::filesystem::path path;
    Folder() {
        path = std::filesystem::temp_directory_path() / ("arrowsel-bench-records-" + std::to_string(::getpid()));
        std::filesystem::create_directories(path);
        arrowsel::sampledata::writeSavedSetups(path);
        std::vector<data::FieldDef> fields;
        {
            data::TDbfTable t;
            t.open(path / records::kSavedTable, data::TDbfTable::OpenMode::ReadOnly);
            fields = t.fields();
        }
        std::size_t recordLength = 1;
        for (const auto& f : fields) {
            recordLength += static_cast<std::size_t>(f.width);
        }
        std::fstream file(path / records::kSavedTable, std::ios::in | std::ios::out | std::ios::binary);
        unsigned char head[12];
        file.read(reinterpret_cast<char*>(head), sizeof head);
        const std::size_t headerLength = head[8] | (head[9] << 8);
        std::string out;
        out.reserve(kRecords * recordLength + 1);
        for (std::uint32_t i = 1; i <= kRecords; ++i) {
            std::string rec(recordLength, ' ');
            const auto put = [&](const char* field, const std::string& text, bool right = false) {
                for (const auto& f : fields) {
                    if (f.name == field) {
                        const std::size_t w = static_cast<std::size_t>(f.width);
                        const std::string v = text.substr(0, w);
                        rec.replace(static_cast<std::size_t>(f.offset) + (right ? w - v.size() : 0), v.size(), v);
                    }
                }
            };
            put("NAME", customerName(i));
            put("ADDR1", std::to_string(i % 9999) + " Fletching Lane");
            put("CITY", "Springfield");
            put("STATE", "OH");
            put("ZIP", std::to_string(10000 + i % 90000));
            put("DATE", "20260314");
            put("BOWWT", "60");
            put("ARLEN", "30");
            put("PNTWT", "100");
            for (const char* code : {"HORT", "BOTYP", "WHTYP", "RETYP", "BOLEN", "ODLEN"}) {
                put(code, std::to_string(i % 2), true);
            }
            out += rec;
        }
        out += '\x1A';
        file.seekp(static_cast<std::streamoff>(headerLength));
        file.write(out.data(), static_cast<std::streamsize>(out.size()));
        for (int k = 0; k < 4; ++k) {
            head[4 + k] = static_cast<unsigned char>((kRecords >> (8 * k)) & 0xFF);
        }
        file.seekp(4);
        file.write(reinterpret_cast<const char*>(head + 4), 4);
        file.close();
        data::TDbfTable t;
        t.open(path / records::kSavedTable, data::TDbfTable::OpenMode::Exclusive);
        t.openIndexFile(records::kSavedIndex);
        t.reindex();
    }
    ~Folder() {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
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

BENCHMARK(BM_OpenLookup)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_Search)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_SaveWithIndexRebuild)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_Export)->Unit(benchmark::kMillisecond)->Iterations(10);

} // namespace
