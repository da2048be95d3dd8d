// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/report.h"

#include "ui/short_dates.h"

#include <QLocale>
#include <stdexcept>

namespace arrowsel::reports {

RecordSource::~RecordSource() = default;

QDateTime systemClock() {
    return QDateTime::currentDateTime();
}

Expression Expression::parse(const QString& text) {
    Expression e;
    qsizetype i = 0;
    const qsizetype n = text.size();
    auto skipBlanks = [&] {
        while (i < n && text[i].isSpace()) {
            ++i;
        }
    };
    auto fail = [&](const char* why) {
        throw std::invalid_argument(std::string(why) + " in expression: " + text.toStdString());
    };
    skipBlanks();
    if (i == n) {
        return e;
    }
    for (;;) {
        skipBlanks();
        if (i == n) {
            fail("missing operand");
        }
        if (text[i] == u'\'' || text[i] == u'"') {
            const QChar quote = text[i++];
            const qsizetype end = text.indexOf(quote, i);
            if (end < 0) {
                fail("unterminated literal");
            }
            e.parts_.push_back({false, text.mid(i, end - i)});
            i = end + 1;
        } else {
            const qsizetype start = i;
            while (i < n && (text[i].isLetterOrNumber() || text[i] == u'_' || text[i] == u'.')) {
                ++i;
            }
            if (i == start) {
                fail("unexpected character");
            }
            QString name = text.mid(start, i - start);
            if (const qsizetype dot = name.lastIndexOf(u'.'); dot >= 0) {
                name = name.mid(dot + 1);
            }
            if (name.isEmpty()) {
                fail("missing field name");
            }
            e.parts_.push_back({true, name});
        }
        skipBlanks();
        if (i == n) {
            return e;
        }
        if (text[i] != u'+') {
            fail("expected '+'");
        }
        ++i;
    }
}

QString Expression::evaluate(const RecordSource* source) const {
    QString out;
    for (const Part& p : parts_) {
        if (!p.isField) {
            out += p.text;
        } else if (source) {
            out += source->field(p.text);
        }
    }
    return out;
}

Element& Band::add(Element element) {
    elements.push_back(std::move(element));
    return elements.back();
}

Band& Report::addBand(BandKind kind, const QString& bandName, double bandHeight) {
    Band b;
    b.kind = kind;
    b.name = bandName;
    b.height = bandHeight;
    bands.push_back(std::move(b));
    return bands.back();
}

Element& Report::element(const QString& elementName) {
    for (Band& b : bands) {
        for (Element& e : b.elements) {
            if (e.name == elementName) {
                return e;
            }
        }
    }
    throw std::out_of_range("report " + name.toStdString() + " has no element " + elementName.toStdString());
}

QString printedDate(const QDateTime& when, const QLocale& locale) {
    return ui::shortDate(locale, when.date());
}

QString printedDateTime(const QDateTime& when, const QLocale& locale) {
    return ui::shortDateTime(locale, when);
}

namespace {

QString elementText(const Element& e, const QDateTime& when, const QLocale& locale) {
    switch (e.kind) {
    case ElementKind::Label:
        return e.text;
    case ElementKind::Field:
        return e.source ? e.source->field(e.text) : QString();
    case ElementKind::Expression:
        return e.expression.evaluate(e.source);
    case ElementKind::Date:
        return e.text + printedDate(when, locale);
    case ElementKind::DateTime:
        return e.text + printedDateTime(when, locale);
    default:
        return {};
    }
}

void placeBand(const Band& band, QPointF origin, const QDateTime& when, const QLocale& locale, Page& page) {
    for (const Element& e : band.elements) {
        const QRectF r = e.rect.translated(origin);
        switch (e.kind) {
        case ElementKind::Line:
            page.lines.push_back({r.topLeft(), r.topRight(), e.penWidth});
            continue;
        case ElementKind::Box:
            page.boxes.push_back({r, e.penWidth});
            continue;
        default:
            break;
        }
        QString text;
        if (e.source == nullptr || e.source->hasRecord()) {
            text = elementText(e, when, locale);
        }
        std::optional<QRectF> clip;
        if (e.clip) {
            clip = e.clip->translated(origin);
        }
        page.texts.push_back({e.name, text, r, e.font, e.align, e.wordWrap, clip});
    }
}

} // namespace

Document layout(Report& report, const Clock& clock, const QLocale& locale) {
    Document doc;
    doc.title = report.title;
    doc.pageSize = report.pageSize;

    bool printReport = true;
    if (report.beforePrint) {
        report.beforePrint(report, printReport);
    }
    if (!printReport) {
        return doc;
    }
    const QDateTime when = clock ? clock() : systemClock();

    Band* footer = nullptr;
    for (Band& b : report.bands) {
        if (b.kind == BandKind::PageFooter) {
            footer = &b;
        }
    }
    const double left = report.margins.left();
    const double top = report.margins.top();
    const double bottom = report.pageSize.height() - report.margins.bottom();
    const double footerTop = bottom - (footer ? footer->height : 0.0);

    double y = top;
    auto closePage = [&] {
        if (footer) {
            bool printBand = true;
            if (footer->beforePrint) {
                footer->beforePrint(*footer, printBand);
            }
            if (printBand) {
                placeBand(*footer, {left, footerTop}, when, locale, doc.pages.back());
            }
        }
    };
    doc.pages.emplace_back();
    for (Band& b : report.bands) {
        if (b.kind == BandKind::PageFooter) {
            continue;
        }
        bool printBand = true;
        if (b.beforePrint) {
            b.beforePrint(b, printBand);
        }
        if (!printBand) {
            continue;
        }
        // A band that does not fit above the footer starts a new page, unless the page is still
        // empty (a band taller than a page is cut at the foot rather than looping forever).
        if (y + b.height > footerTop + 1e-9 && y > top) {
            closePage();
            doc.pages.emplace_back();
            y = top;
        }
        placeBand(b, {left, y}, when, locale, doc.pages.back());
        y += b.height;
    }
    closePage();
    return doc;
}

} // namespace arrowsel::reports
