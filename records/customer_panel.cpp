// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/customer_panel.h"

#include "records/field_binding.h"
#include "widgets/value_label.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace arrowsel::records {

namespace {

QLineEdit* lineEdit(QWidget* parent, const char* objectName) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(QString::fromLatin1(objectName));
    return e;
}

QLabel* caption(const QString& text, QWidget* buddy, QWidget* parent) {
    auto* l = new QLabel(text, parent);
    l->setBuddy(buddy);
    return l;
}

} // namespace

QWidget* buildCustomerEdits(QWidget* parent, FieldBinding& binding) {
    auto* box = new QWidget(parent);
    auto* form = new QFormLayout(box);
    auto* name = lineEdit(box, "DBEdit1");
    auto* addr1 = lineEdit(box, "DBEdit6");
    auto* addr2 = lineEdit(box, "DBEdit7");
    auto* city = lineEdit(box, "DBEdit8");
    auto* state = lineEdit(box, "DBEdit9");
    auto* zip = lineEdit(box, "DBEdit10");
    auto* country = lineEdit(box, "DBEdit2");
    auto* code = lineEdit(box, "DBEdit11");
    auto* comments = new QPlainTextEdit(box);
    comments->setObjectName(QStringLiteral("DBMemo1"));
    comments->setMinimumHeight(70);
    auto* commentsNote = new QLabel(box);
    commentsNote->setObjectName(QStringLiteral("CommentsNote"));

    binding.addLine(name, "NAME", "Name");
    binding.addLine(addr1, "ADDR1", "Address line 1");
    binding.addLine(addr2, "ADDR2", "Address line 2");
    binding.addLine(city, "CITY", "City");
    binding.addLine(state, "STATE", "State", true);
    binding.addLine(zip, "ZIP", "ZIP");
    binding.addLine(country, "COUNTRY", "Country");
    binding.addLine(code, "CCODE", "Code");
    binding.addMemo(comments, "COMMENTS", "Comments", commentsNote);

    auto* cityRow = new QHBoxLayout;
    cityRow->addWidget(city, 3);
    cityRow->addWidget(state, 1);
    cityRow->addWidget(zip, 2);
    form->addRow(caption(QStringLiteral("Name:"), name, box), name);
    form->addRow(caption(QStringLiteral("Address:"), addr1, box), addr1);
    form->addRow(caption(QStringLiteral("Address:"), addr2, box), addr2);
    form->addRow(caption(QStringLiteral("City / St / ZIP:"), city, box), cityRow);
    form->addRow(caption(QStringLiteral("Country:"), country, box), country);
    form->addRow(caption(QStringLiteral("Code:"), code, box), code);
    form->addRow(caption(QStringLiteral("Comments:"), comments, box), comments);
    form->addRow(QString(), commentsNote);
    return box;
}

SummaryPanel::SummaryPanel(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("Panel1"));
    setFrameShape(QFrame::StyledPanel);
    auto* grid = new QGridLayout(this);
    struct Line {
        const char* caption;
        const char* valueName;
    };
    static constexpr Line lines[] = {
        {"Bow Weight:", "Label24"},   {"Arrow Length:", "Label25"}, {"Point Weight:", "Label27"},
        {"Bow Type:", "Label9"},      {"Wheel Type:", "Label10"},   {"Release:", "Label12"},
        {"Brace Height:", "Label15"}, {"Over Draw:", "Label16"},
    };
    int i = 0;
    for (const Line& l : lines) {
        auto* c = new QLabel(QString::fromLatin1(l.caption), this);
        auto* v = new widgets::TValueLabel(QString::fromLatin1(l.caption).chopped(1), this);
        v->setObjectName(QString::fromLatin1(l.valueName));
        v->setHeadingLabel(c);
        v->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
        values_[static_cast<std::size_t>(i)] = v;
        const int row = i % 4;
        const int col = (i / 4) * 2;
        grid->addWidget(c, row, col, Qt::AlignRight);
        grid->addWidget(v, row, col + 1);
        ++i;
    }
    auto* chart = new widgets::TValueLabel(QStringLiteral("Chart"), this);
    chart->setObjectName(QStringLiteral("Label17"));
    QFont f = chart->font();
    f.setBold(true);
    chart->setFont(f);
    values_[static_cast<std::size_t>(SummaryLine::Chart)] = chart;
    grid->addWidget(chart, 4, 0, 1, 4, Qt::AlignCenter);
}

void SummaryPanel::setSummary(const Summary& summary) {
    for (std::size_t i = 0; i < kSummaryLines; ++i) {
        values_[i]->setText(QString::fromStdString(summary[i]));
    }
}

QString SummaryPanel::text(SummaryLine line) const {
    return values_[static_cast<std::size_t>(line)]->text();
}

} // namespace arrowsel::records
