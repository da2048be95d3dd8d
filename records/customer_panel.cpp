// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/customer_panel.h"

#include "records/field_binding.h"
#include "ui/translations.h"
#include "widgets/value_label.h"

#include <QCoreApplication>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <cctype>

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

    // The captions name the fields to screen readers, and in English in the book's messages.
    binding.addLine(name, "NAME", QT_TRANSLATE_NOOP("arrowsel::records::FieldBinding", "Name"));
    binding.addLine(addr1, "ADDR1", QT_TRANSLATE_NOOP("arrowsel::records::FieldBinding", "Address line 1"));
    binding.addLine(addr2, "ADDR2", QT_TRANSLATE_NOOP("arrowsel::records::FieldBinding", "Address line 2"));
    binding.addLine(city, "CITY", QT_TRANSLATE_NOOP("arrowsel::records::FieldBinding", "City"));
    binding.addLine(state, "STATE", QT_TRANSLATE_NOOP("arrowsel::records::FieldBinding", "State"), true);
    binding.addLine(zip, "ZIP", QT_TRANSLATE_NOOP("arrowsel::records::FieldBinding", "ZIP"));
    binding.addLine(country, "COUNTRY", QT_TRANSLATE_NOOP("arrowsel::records::FieldBinding", "Country"));
    binding.addLine(code, "CCODE", QT_TRANSLATE_NOOP("arrowsel::records::FieldBinding", "Code"));
    binding.addMemo(comments, "COMMENTS", QT_TRANSLATE_NOOP("arrowsel::records::FieldBinding", "Comments"),
                    commentsNote);

    auto* cityRow = new QHBoxLayout;
    cityRow->addWidget(city, 3);
    cityRow->addWidget(state, 1);
    cityRow->addWidget(zip, 2);
    form->addRow(caption(QCoreApplication::translate("arrowsel::records::CustomerEdits", "Name:"), name, box), name);
    form->addRow(caption(QCoreApplication::translate("arrowsel::records::CustomerEdits", "Address:"), addr1, box),
                 addr1);
    form->addRow(caption(QCoreApplication::translate("arrowsel::records::CustomerEdits", "Address:"), addr2, box),
                 addr2);
    form->addRow(
        caption(QCoreApplication::translate("arrowsel::records::CustomerEdits", "City / St / ZIP:"), city, box),
        cityRow);
    form->addRow(caption(QCoreApplication::translate("arrowsel::records::CustomerEdits", "Country:"), country, box),
                 country);
    form->addRow(caption(QCoreApplication::translate("arrowsel::records::CustomerEdits", "Code:"), code, box), code);
    form->addRow(caption(QCoreApplication::translate("arrowsel::records::CustomerEdits", "Comments:"), comments, box),
                 comments);
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
        {QT_TRANSLATE_NOOP("arrowsel::records::SummaryPanel", "Bow Weight:"), "Label24"},
        {QT_TRANSLATE_NOOP("arrowsel::records::SummaryPanel", "Arrow Length:"), "Label25"},
        {QT_TRANSLATE_NOOP("arrowsel::records::SummaryPanel", "Point Weight:"), "Label27"},
        {QT_TRANSLATE_NOOP("arrowsel::records::SummaryPanel", "Bow Type:"), "Label9"},
        {QT_TRANSLATE_NOOP("arrowsel::records::SummaryPanel", "Wheel Type:"), "Label10"},
        {QT_TRANSLATE_NOOP("arrowsel::records::SummaryPanel", "Release:"), "Label12"},
        {QT_TRANSLATE_NOOP("arrowsel::records::SummaryPanel", "Brace Height:"), "Label15"},
        {QT_TRANSLATE_NOOP("arrowsel::records::SummaryPanel", "Over Draw:"), "Label16"},
    };
    int i = 0;
    for (const Line& l : lines) {
        const QString caption = QCoreApplication::translate("arrowsel::records::SummaryPanel", l.caption);
        auto* c = new QLabel(caption, this);
        // The value is read out with its caption, less the colon.
        auto* v = new widgets::TValueLabel(QString(caption).remove(QLatin1Char(':')), this);
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
    auto* chart =
        new widgets::TValueLabel(QCoreApplication::translate("arrowsel::records::SummaryPanel", "Chart"), this);
    chart->setObjectName(QStringLiteral("Label17"));
    QFont f = chart->font();
    f.setBold(true);
    chart->setFont(f);
    values_[static_cast<std::size_t>(SummaryLine::Chart)] = chart;
    grid->addWidget(chart, 4, 0, 1, 4, Qt::AlignCenter);
}

void SummaryPanel::setSummary(const Summary& summary) {
    for (std::size_t i = 0; i < kSummaryLines; ++i) {
        // From the bow type on, a line holds one of the summary's words, or an overdraw's inches.
        const std::string& text = summary[i];
        const bool word = i >= static_cast<std::size_t>(SummaryLine::BowType) && !text.empty() &&
                          (std::isdigit(static_cast<unsigned char>(text.front())) == 0);
        values_[i]->setText(word ? ui::coreText("Summary", text) : QString::fromStdString(text));
    }
}

QString SummaryPanel::text(SummaryLine line) const {
    return values_[static_cast<std::size_t>(line)]->text();
}

} // namespace arrowsel::records
