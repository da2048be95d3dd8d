// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "data/dbf_table.h"
#include "data/text.h"
#include "records/book_session.h"
#include "records/book_worker.h"
#include "records/file_book.h"
#include "records/saved_setup.h"
#include "tests/support/fake_main_window.h"
#include "tests/support/io_faults.h"
#include "tests/support/qt_print.h"
#include "tests/support/recording_seam.h"
#include "tests/support/temp_dir.h"
#include "tools/gen/tables.h"
#include "ui/message_seam.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <chrono>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace arrowsel::test {

// A data folder with the empty saved-setups table and index as the program ships them, an empty
// shop table, and a main window fake that points at it.
class RecordsTest : public ::testing::Test {
protected:
    RecordsTest() {
        sampledata::writeSavedSetups(dir.path());
        data::TDbfTable::create(dir / "SHOPINFO.DBF", {{"NAME", data::FieldType::Character, 30},
                                                       {"ADDR1", data::FieldType::Character, 30},
                                                       {"ADDR2", data::FieldType::Character, 30},
                                                       {"CITY", data::FieldType::Character, 18},
                                                       {"STATE", data::FieldType::Character, 10},
                                                       {"ZIP", data::FieldType::Character, 10},
                                                       {"COUNTRY", data::FieldType::Character, 12},
                                                       {"COMMENTS", data::FieldType::Character, 60},
                                                       {"PHONE", data::FieldType::Character, 20},
                                                       {"FAX", data::FieldType::Character, 20}});
        main.folder = dir.path();
    }

    // Adds a record straight to the table (as another copy of the program would) and rebuilds the
    // name index.
    void addRecord(std::map<std::string, std::string> fields) {
        std::map<std::string, std::string> all = {{"ADDR1", "1 Main St"}, {"CITY", "Springfield"}, {"STATE", "IL"},
                                                  {"BOWWT", "55"},        {"ARLEN", "28"},         {"PNTWT", "125"},
                                                  {"HORT", "0"},          {"BOTYP", "0"},          {"WHTYP", "0"},
                                                  {"RETYP", "0"},         {"BOLEN", "0"},          {"ODLEN", "0"}};
        for (auto& [k, v] : fields) {
            all[k] = v;
        }
        data::TDbfTable t;
        t.open(dir / "Saveddb.dbf");
        t.openIndexFile("Saved.idx");
        t.insert();
        for (auto& [k, v] : all) {
            t.setFieldText(k, v);
        }
        t.post();
        t.reindex();
    }

    std::uint32_t savedCount() {
        data::TDbfTable t;
        t.open(dir / "Saveddb.dbf", data::TDbfTable::OpenMode::ReadOnly);
        return t.recordCount();
    }

    // The names in the order of "Saved.idx".
    std::vector<std::string> namesInIndexOrder() {
        data::TDbfTable t;
        t.open(dir / "Saveddb.dbf", data::TDbfTable::OpenMode::ReadOnly);
        t.openIndexFile("Saved.idx");
        std::vector<std::string> names;
        for (t.first(); !t.eof(); t.next()) {
            names.emplace_back(data::trimTrailingSpaces(t.fieldText("NAME")));
        }
        return names;
    }

    TempDir dir;
    FakeMainWindow main;
    test::RecordingSeam seam;
};

// Faults for the book a window works on. Declared before the window: a book closes on its own
// thread after its window is gone, and this waits for that before it goes itself.
class BookFaults : public IoFaults {
public:
    BookFaults() = default;
    ~BookFaults() override { records::BookWorker::waitForRetired(std::chrono::seconds(10)); }
    BookFaults(const BookFaults&) = delete;
    BookFaults& operator=(const BookFaults&) = delete;

    // The customer book of `dataFolder` for `window`, its files watched by these faults.
    std::unique_ptr<records::BookSession> open(QWidget& window, const std::filesystem::path& dataFolder) {
        records::FileBookOptions options;
        options.table.probe = this;
        return records::BookSession::open(&window, dataFolder,
                                          std::make_unique<records::FileBook>(dataFolder, std::move(options)));
    }
};

template <typename T = QWidget> T* child(QWidget& window, const char* name) {
    T* w = window.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
}

// Types text as a user would, one key per character (accented letters included).
inline void type(QWidget* edit, const QString& text) {
    for (const QChar c : text) {
        const bool newLine = c == QLatin1Char('\n');
        QKeyEvent press(QEvent::KeyPress, newLine ? Qt::Key_Return : Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(edit, &press);
    }
}

inline void click(QWidget& window, const char* button) {
    child<QPushButton>(window, button)->click();
}

inline QString textOf(QWidget& window, const char* edit) {
    if (auto* line = window.findChild<QLineEdit*>(QString::fromLatin1(edit))) {
        return line->text();
    }
    return child<QPlainTextEdit>(window, edit)->toPlainText();
}

} // namespace arrowsel::test
