// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "data/dbf_table.h"
#include "data/table_error.h"
#include "engine/selection.h"
#include "tests/support/qt_print.h"
#include "tests/support/temp_dir.h"
#include "ui/page_model.h"
#include "ui/print_seam.h"

#include <QDateTime>
#include <QLocale>
#include <QStringList>
#include <filesystem>
#include <initializer_list>
#include <map>
#include <string>
#include <tuple>

namespace arrowsel::test {

struct ShopFields {
    std::string name = "Bullseye Archery";
    std::string addr1 = "12 Fletcher Lane";
    std::string addr2 = "Back Door";
    std::string city = "Oakton";
    std::string state = "VA";
    std::string zip = "22124";
    std::string country = "Farland";
    std::string comments = "Thank you for shopping with us";
    std::string phone = "703-555-0199";
    std::string fax = "703-555-0198";
};

// Writes SHOPINFO.DBF with the layout the shop window keeps, holding one record.
inline void writeShopTable(const std::filesystem::path& folder, const ShopFields& shop) {
    using data::FieldType;
    using data::TDbfTable;
    const std::filesystem::path path = folder / "SHOPINFO.DBF";
    TDbfTable::create(path,
                      {{"NAME", FieldType::Character, 30},
                       {"ADDR1", FieldType::Character, 30},
                       {"ADDR2", FieldType::Character, 30},
                       {"CITY", FieldType::Character, 18},
                       {"STATE", FieldType::Character, 10},
                       {"ZIP", FieldType::Character, 10},
                       {"COUNTRY", FieldType::Character, 12},
                       {"COMMENTS", FieldType::Character, 60},
                       {"PHONE", FieldType::Character, 20},
                       {"FAX", FieldType::Character, 20}},
                      data::CodePage::Windows1252, true);
    TDbfTable t;
    t.open(path, TDbfTable::OpenMode::Exclusive);
    t.insert();
    t.setFieldText("NAME", shop.name);
    t.setFieldText("ADDR1", shop.addr1);
    t.setFieldText("ADDR2", shop.addr2);
    t.setFieldText("CITY", shop.city);
    t.setFieldText("STATE", shop.state);
    t.setFieldText("ZIP", shop.zip);
    t.setFieldText("COUNTRY", shop.country);
    t.setFieldText("COMMENTS", shop.comments);
    t.setFieldText("PHONE", shop.phone);
    t.setFieldText("FAX", shop.fax);
    t.post();
    t.close();
}

// What a print takes from the main window, as values: the setup its inputs hold and the run its
// grids show.
struct PrintedRun {
    engine::BowSetup setup;
    engine::SelectionResult result;

    // The cell of `row` (from 1) on `page`, the grid grown to reach it.
    engine::Cell& cell(engine::Page page, int row) {
        auto& cells = result.grids[std::size_t(engine::pageIndex(page))];
        if (int(cells.size()) < row) {
            cells.resize(std::size_t(row));
        }
        return cells[std::size_t(row - 1)];
    }
    // Fills a page's grid with captions naming their place: "S3", "P3", "M3", "W3" for row 3.
    void fillGrid(engine::Page page, int rows) {
        for (int r = 1; r <= rows; ++r) {
            const std::string n = std::to_string(r);
            engine::Cell& c = cell(page, r);
            c.size = "S" + n;
            c.spine = "P" + n;
            c.model = "M" + n;
            c.weight = "W" + n;
        }
    }
    // Every radio group on its first item but those given.
    void choose(std::initializer_list<std::pair<int engine::BowSetup::*, int>> choices) {
        for (int engine::BowSetup::*group :
             {&engine::BowSetup::bowType, &engine::BowSetup::targBowType, &engine::BowSetup::huntCamType,
              &engine::BowSetup::wheelType, &engine::BowSetup::releaseType, &engine::BowSetup::overDraw,
              &engine::BowSetup::braceHt}) {
            setup.*group = 0;
        }
        for (const auto& [group, index] : choices) {
            setup.*group = index;
        }
    }
};

inline QDateTime fixedTime() {
    return QDateTime(QDate(2009, 3, 7), QTime(14, 5, 9));
}

// The locale the reports are laid out in, whatever the machine's: day before month, 24 hours.
inline QLocale fixedLocale() {
    return QLocale(QLocale::English, QLocale::UnitedKingdom);
}

// The texts of a page, top to bottom and left to right, empty ones left out.
inline QStringList readingOrder(const ui::Page& page) {
    std::vector<const ui::TextItem*> items;
    for (const auto& t : page.texts) {
        if (!t.text.isEmpty()) {
            items.push_back(&t);
        }
    }
    std::stable_sort(items.begin(), items.end(), [](const auto* a, const auto* b) {
        if (qAbs(a->rect.top() - b->rect.top()) > 0.01) {
            return a->rect.top() < b->rect.top();
        }
        return a->rect.left() < b->rect.left();
    });
    QStringList out;
    for (const auto* t : items) {
        out << t->text;
    }
    return out;
}

// Text of the named element on the first page; "<missing>" when the page has none.
inline QString textOf(const ui::Document& doc, const QString& name) {
    if (doc.pages.empty()) {
        return QStringLiteral("<no page>");
    }
    const ui::TextItem* t = doc.pages.front().text(name);
    return t ? t->text : QStringLiteral("<missing>");
}

// Answers print requests without a printer, recording what was asked.
class FakePrintSeam : public ui::PrintSeam {
public:
    FakePrintSeam() { previous_ = install(this); }
    ~FakePrintSeam() override { install(previous_); }
    FakePrintSeam(const FakePrintSeam&) = delete;
    FakePrintSeam& operator=(const FakePrintSeam&) = delete;

    ui::PrintOutcome outcome{ui::PrintStatus::Printed, {}};
    std::optional<QString> fileName; // answer to the PDF file question
    std::vector<ui::Document> printed;
    std::vector<bool> progress;
    int fileQuestions = 0;

    ui::PrintOutcome printToDefault(const ui::Document& doc, bool showProgress, QWidget*) override {
        if (outcome.status == ui::PrintStatus::Printed) {
            printed.push_back(doc);
        }
        progress.push_back(showProgress);
        return outcome;
    }
    std::optional<QString> pdfFileName(QWidget*, const QString&) override {
        ++fileQuestions;
        return fileName;
    }

private:
    ui::PrintSeam* previous_ = nullptr;
};

} // namespace arrowsel::test
