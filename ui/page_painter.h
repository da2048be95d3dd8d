// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/page_model.h"

#include <QString>
#include <QStringList>
#include <filesystem>
#include <functional>

class QFont;
class QIODevice;
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

// Writes `doc` as a PDF onto `out` (open for writing). On failure returns false with a reason in
// `error` (when given).
bool renderPdf(const Document& doc, QIODevice& out, QString* error = nullptr);

// Writes `doc` as a PDF file, complete or not at all: made whole under a temporary name beside it
// and then named (see data::NewFile), so a link at that name is replaced, never written through,
// and a folder, a pipe or a device there is refused; an existing file's mode is kept. The path is
// taken as its bytes (a folder whose name is not UTF-8 works). On failure returns false with a
// reason in `error` (when given).
bool writePdf(const Document& doc, const std::filesystem::path& file, QString* error = nullptr);
// The same for a name as the file dialogs give it.
bool writePdf(const Document& doc, const QString& fileName, QString* error = nullptr);

} // namespace arrowsel::ui
