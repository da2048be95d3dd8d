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
#include <QTextLayout>

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

WrappedText wrapToBox(const QString& text, const QFont& font, double width, double height, const QPaintDevice* device) {
    QString flowing = text;
    flowing.replace(QStringLiteral("\r\n"), QString(QChar::LineSeparator));
    flowing.replace(QLatin1Char('\n'), QChar::LineSeparator);
    flowing.replace(QLatin1Char('\r'), QChar::LineSeparator);
    // A QPaintDevice's metrics are read through a non-const pointer; nothing is drawn on it.
    auto* metricsDevice = const_cast<QPaintDevice*>(device);
    QTextLayout layout(flowing, font, metricsDevice);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    WrappedText out;
    double y = 0;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        if (y + line.height() > height + 0.01) {
            out.cut = true;
            break;
        }
        line.setPosition(QPointF(0, y));
        y += line.height();
        out.lineHeight = line.height();
        QString shown = flowing.mid(line.textStart(), line.textLength());
        while (!shown.isEmpty() && (shown.back().isSpace() || shown.back() == QChar::LineSeparator)) {
            shown.chop(1);
        }
        out.lines << shown;
    }
    layout.endLayout();
    if (out.cut && !out.lines.isEmpty()) {
        const QFontMetricsF metrics(font, metricsDevice);
        const QString mark(QChar(0x2026));
        QString& last = out.lines.back();
        while (!last.isEmpty() && metrics.horizontalAdvance(last + mark) > width) {
            last.chop(1);
        }
        last += mark;
    }
    return out;
}

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
        if (t.wordWrap) {
            const WrappedText wrapped = wrapToBox(t.text, font, rect.width(), rect.height(), painter.device());
            for (int i = 0; i < wrapped.lines.size(); ++i) {
                const QRectF lineRect(rect.x(), rect.y() + i * wrapped.lineHeight, rect.width(), wrapped.lineHeight);
                painter.drawText(lineRect, alignFlags(align) | Qt::AlignTop | Qt::TextSingleLine | Qt::TextDontClip,
                                 wrapped.lines[i]);
            }
        } else {
            painter.drawText(rect, alignFlags(align) | Qt::AlignTop | Qt::TextSingleLine | Qt::TextDontClip, t.text);
        }
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
