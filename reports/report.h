// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/page_model.h"

#include <QDateTime>
#include <QLocale>
#include <QMarginsF>
#include <QString>
#include <functional>
#include <optional>
#include <vector>

namespace arrowsel::reports {

// The reports lay their pages out into the printing service's page model.
using ui::Align;
using ui::BoxItem;
using ui::Document;
using ui::Font;
using ui::LineItem;
using ui::Page;
using ui::TextItem;

// The current record of a table as report fields see it: a field's text without trailing blanks.
class RecordSource {
public:
    RecordSource() = default;
    RecordSource(const RecordSource&) = default;
    RecordSource& operator=(const RecordSource&) = default;
    RecordSource(RecordSource&&) = default;
    RecordSource& operator=(RecordSource&&) = default;
    virtual ~RecordSource();
    virtual QString field(const QString& name) const = 0;
    // False when there is no record at all: the fields and expressions over it then print nothing,
    // not even their fixed texts (a shop header of "," and "Phone: FAX:" says nothing).
    virtual bool hasRecord() const { return true; }
};

// Where the date and time of printing come from (tests fix it).
using Clock = std::function<QDateTime()>;
QDateTime systemClock();

// An expression joining literals and fields with '+': "'Phone: ' + CoInfoTbl.PHONE". A field may
// carry its table's name before a '.'; it is read from the element's record source.
class Expression {
public:
    Expression() = default;
    // Throws std::invalid_argument for text that is not such an expression.
    static Expression parse(const QString& text);
    QString evaluate(const RecordSource* source) const;

private:
    struct Part {
        bool isField;
        QString text;
    };
    std::vector<Part> parts_;
};

enum class ElementKind {
    Label,      // fixed text (before-print handlers may change it)
    Field,      // `text` names a field of `source`'s current record
    Expression, // `expression` over `source`
    Date,       // `text` followed by the date of printing
    DateTime,   // `text` followed by the date and time of printing
    Line,       // horizontal line along the top of `rect`
    Box,        // rectangle outline
};

struct Element {
    ElementKind kind = ElementKind::Label;
    QString name;
    QRectF rect; // inches, from the band's top left corner
    Font font;
    Align align = Align::Left;
    bool wordWrap = false;
    std::optional<QRectF> clip; // inches, from the band's top left corner, as `rect`
    QString text;
    Expression expression;
    const RecordSource* source = nullptr; // not owned
    double penWidth = 1;
};

enum class BandKind { Title, Detail, PageFooter };

struct Band {
    BandKind kind = BandKind::Detail;
    QString name;
    double height = 0; // inches
    std::vector<Element> elements;
    // Called before the band is laid out; clearing the flag leaves the band out of this print.
    std::function<void(Band& band, bool& printBand)> beforePrint;

    Element& add(Element element);
};

// A report of bands on a portrait page. Not data-driven: the title and detail bands print once per
// print, in order, on as many pages as they need; the page footer closes every page.
struct Report {
    QString name;
    QString title;              // print job's name; empty: the program's default
    QSizeF pageSize{8.5, 11.0}; // US Letter, inches
    QMarginsF margins{0.5, 0.5, 0.5, 0.5};
    bool showProgress = false; // a progress window while the pages go to the printer
    std::vector<Band> bands;
    // Called at the start of each print, before any band; clearing the flag cancels the print.
    std::function<void(Report& report, bool& printReport)> beforePrint;

    Band& addBand(BandKind kind, const QString& name, double height);
    // The element called `name` in any band. Throws std::out_of_range when there is none.
    Element& element(const QString& name);
    double bandWidth() const { return pageSize.width() - margins.left() - margins.right(); }
};

// Runs the before-print handlers and lays the report out. The clock is read once per print; the
// date fields print in `locale`'s short formats. A cancelled print gives a document without pages.
Document layout(Report& report, const Clock& clock, const QLocale& locale = QLocale());

// How the date fields print: the locale's short date, and its short date and time, ASCII digits.
QString printedDate(const QDateTime& when, const QLocale& locale);
QString printedDateTime(const QDateTime& when, const QLocale& locale);

} // namespace arrowsel::reports
