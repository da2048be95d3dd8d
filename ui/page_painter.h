// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/page_model.h"

#include <QString>
#include <QStringList>
#include <functional>

class QFont;
class QPaintDevice;
class QPainter;
class QPagedPaintDevice;

namespace arrowsel::ui {

// The QPainter side of printing, in ui_services with the page model and the print seam.

// Draws one laid-out page on a painter whose device has the page's paper size and no margins.
// A single line is never clipped (unless its item says so): a text longer than its box runs past
// it rather than losing letters. A wrapped text shows the whole lines that fit its box, never
// part of one; when more was to follow, the last ends in "…".
void paintPage(QPainter& painter, const Page& page);

// A wrapped text as paintPage draws it in a box `width` by `height` (in `device`'s pixels): its
// lines (a line break in the text, CR LF among them, starts a new one) and their height.
struct WrappedText {
    QStringList lines;
    double lineHeight = 0;
    bool cut = false; // more text than fits: the last line ends in the mark
};
WrappedText wrapToBox(const QString& text, const QFont& font, double width, double height, const QPaintDevice* device);

// Draws every page of `doc` on an active painter over `device`, starting a new sheet between pages.
// `onPage` (optional) is told the 0-based number of each page before it is drawn.
void paintDocument(QPainter& painter, QPagedPaintDevice& device, const Document& doc,
                   const std::function<void(int)>& onPage = {});

// Writes `doc` as a PDF file, complete or not at all. On failure returns false with a reason in
// `error` (when given).
bool writePdf(const Document& doc, const QString& fileName, QString* error = nullptr);

} // namespace arrowsel::ui
