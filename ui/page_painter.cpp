// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/page_painter.h"

#include "data/new_file.h"
#include "data/table_error.h"

#include <QBuffer>
#include <QFile>
#include <QFont>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>

namespace arrowsel::ui {

namespace {

QFont qfont(const Font& f) {
    QFont font(f.family);
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(f.pointSize);
    font.setBold(f.bold);
    font.setUnderline(f.underline);
    return font;
}

int alignFlags(Align a) {
    switch (a) {
    case Align::Center:
        return Qt::AlignHCenter;
    case Align::Right:
        return Qt::AlignRight;
    case Align::Left:
        break;
    }
    return Qt::AlignLeft;
}

} // namespace

void paintPage(QPainter& painter, const Page& page) {
    const QPaintDevice* device = painter.device();
    const double dx = device->logicalDpiX();
    const double dy = device->logicalDpiY();
    auto toDevice = [&](const QRectF& r) { return QRectF(r.x() * dx, r.y() * dy, r.width() * dx, r.height() * dy); };
    // Pen widths are given in 96-per-inch pixels.
    auto pen = [&](double width) {
        QPen p(Qt::black);
        p.setWidthF(width * dx / 96.0);
        p.setCapStyle(Qt::FlatCap);
        p.setJoinStyle(Qt::MiterJoin);
        return p;
    };

    painter.save();
    painter.setBrush(Qt::NoBrush);
    for (const LineItem& l : page.lines) {
        painter.setPen(pen(l.penWidth));
        painter.drawLine(QPointF(l.from.x() * dx, l.from.y() * dy), QPointF(l.to.x() * dx, l.to.y() * dy));
    }
    for (const BoxItem& b : page.boxes) {
        painter.setPen(pen(b.penWidth));
        painter.drawRect(toDevice(b.rect));
    }
    painter.setPen(Qt::black);
    for (const TextItem& t : page.texts) {
        if (t.text.isEmpty()) {
            continue;
        }
        const QFont font = qfont(t.font);
        painter.setFont(font);
        const QRectF rect = toDevice(t.rect);
        Align align = t.align;
        if (t.clip) {
            painter.save();
            painter.setClipRect(toDevice(*t.clip));
            if (!t.wordWrap && QFontMetricsF(font, painter.device()).horizontalAdvance(t.text) > rect.width()) {
                align = Align::Left; // the beginning of a long line is the part worth reading
            }
        }
        int flags = alignFlags(align) | Qt::AlignTop;
        flags |= t.wordWrap ? int(Qt::TextWordWrap) : int(Qt::TextSingleLine | Qt::TextDontClip);
        painter.drawText(rect, flags, t.text);
        if (t.clip) {
            painter.restore();
        }
    }
    painter.restore();
}

void paintDocument(QPainter& painter, QPagedPaintDevice& device, const Document& doc,
                   const std::function<void(int)>& onPage) {
    for (std::size_t i = 0; i < doc.pages.size(); ++i) {
        if (i > 0) {
            device.newPage();
        }
        if (onPage) {
            onPage(int(i));
        }
        paintPage(painter, doc.pages[i]);
    }
}

bool renderPdf(const Document& doc, QIODevice& out, QString* error) {
    QPdfWriter writer(&out);
    writer.setTitle(doc.title);
    writer.setCreator(QStringLiteral("arrowsel"));
    writer.setResolution(600);
    writer.setPageLayout(QPageLayout(QPageSize(doc.pageSize, QPageSize::Inch), QPageLayout::Portrait,
                                     QMarginsF(0, 0, 0, 0), QPageLayout::Inch));
    QPainter painter;
    if (!painter.begin(&writer)) {
        if (error) {
            *error = QStringLiteral("the PDF could not be started");
        }
        return false;
    }
    paintDocument(painter, writer, doc);
    painter.end();
    return true;
}

bool writePdf(const Document& doc, const std::filesystem::path& file, QString* error) {
    // The page is laid out in memory (one page, a few hundred kilobytes) and then written as a
    // new file beside the target that takes its name once whole.
    QBuffer bytes;
    bytes.open(QIODevice::WriteOnly);
    if (!renderPdf(doc, bytes, error)) {
        return false;
    }
    try {
        data::NewFile out(file, data::NewFile::Replace::Always);
        out.write(std::string_view(bytes.data().constData(), static_cast<std::size_t>(bytes.data().size())));
        out.commit();
    } catch (const data::ETableError& e) {
        if (error) {
            *error = QString::fromUtf8(e.what());
            if (error->endsWith(QLatin1Char('.'))) {
                error->chop(1); // the callers end the sentence
            }
        }
        return false;
    }
    return true;
}

bool writePdf(const Document& doc, const QString& fileName, QString* error) {
    return writePdf(doc, std::filesystem::path(QFile::encodeName(fileName).toStdString()), error);
}

} // namespace arrowsel::ui
