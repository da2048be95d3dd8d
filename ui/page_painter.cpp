// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/page_painter.h"

#include <QFileInfo>
#include <QFont>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
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

bool writePdf(const Document& doc, const QString& fileName, QString* error) {
    // The page is written beside the target and renamed over it: over a device, a pipe or a
    // folder that would replace the node itself (as root, /dev/full) or fail with a misleading text.
    if (const QFileInfo target(fileName); target.exists() && !target.isFile()) {
        if (error) {
            *error = QStringLiteral("not a regular file (a device, a pipe or a folder); "
                                    "a report is written only into a regular file, give the name of a PDF file");
        }
        return false;
    }
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error) {
            *error = file.errorString();
        }
        return false;
    }
    {
        QPdfWriter writer(&file);
        writer.setTitle(doc.title);
        writer.setCreator(QStringLiteral("arrowsel"));
        writer.setResolution(600);
        writer.setPageLayout(QPageLayout(QPageSize(doc.pageSize, QPageSize::Inch), QPageLayout::Portrait,
                                         QMarginsF(0, 0, 0, 0), QPageLayout::Inch));
        QPainter painter;
        if (!painter.begin(&writer)) {
            file.cancelWriting();
            if (error) {
                *error = QStringLiteral("the PDF could not be started");
            }
            return false;
        }
        paintDocument(painter, writer, doc);
        painter.end();
    }
    if (!file.commit()) {
        if (error) {
            *error = file.errorString();
        }
        return false;
    }
    return true;
}

} // namespace arrowsel::ui
