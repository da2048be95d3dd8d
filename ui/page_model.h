// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <optional>
#include <vector>

namespace arrowsel::ui {

// The laid-out pages of one print, as plain data: what the painter draws and what tests inspect.
// Every length is in inches from the page's top left corner (paper, not margins). In ui_services
// with the print seam that takes these pages to a printer; the reports lay out into it.

struct Font {
    QString family = QStringLiteral("Arial");
    double pointSize = 10;
    bool bold = false;
    bool underline = false;

    bool operator==(const Font&) const = default;
};

enum class Align { Left, Center, Right };

struct TextItem {
    QString name; // the element it came from; empty for unnamed elements
    QString text;
    QRectF rect;
    Font font;
    Align align = Align::Left;
    bool wordWrap = false; // wrap inside rect, in the whole lines that fit it; otherwise one line
    // Nothing of the text shows outside this rectangle; a line too long for it starts at its left
    // edge, so what is cut off is the end. Without it a single line is never cut.
    std::optional<QRectF> clip;
};

// Pen widths are in screen pixels at 96 per inch, the unit the layouts are drawn in.
struct LineItem {
    QPointF from;
    QPointF to;
    double penWidth = 1;
};

struct BoxItem {
    QRectF rect;
    double penWidth = 1;
};

struct Page {
    std::vector<TextItem> texts;
    std::vector<LineItem> lines;
    std::vector<BoxItem> boxes;

    // The first text item laid out from the element `name`; null when there is none.
    const TextItem* text(const QString& name) const {
        for (const TextItem& t : texts) {
            if (t.name == name) {
                return &t;
            }
        }
        return nullptr;
    }
};

struct Document {
    QString title; // the print job's name; empty: the program's default
    QSizeF pageSize{8.5, 11.0};
    std::vector<Page> pages;
};

} // namespace arrowsel::ui
