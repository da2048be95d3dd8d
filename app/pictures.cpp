// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/pictures.h"

#include <QDir>
#include <QImageReader>
#include <QLinearGradient>
#include <QPainter>

namespace arrowsel::app {

namespace {

QPixmap drawnCard(QSize size, const QString& title) {
    QPixmap pixmap(size);
    QPainter p(&pixmap);
    QLinearGradient g(0, 0, 0, size.height());
    g.setColorAt(0, QColor(0x1E, 0x3A, 0x2A));
    g.setColorAt(1, QColor(0x4F, 0x6B, 0x3A));
    p.fillRect(pixmap.rect(), g);
    p.setPen(QColor(0xF4, 0xE9, 0xC8));
    QFont f = p.font();
    f.setPointSize(22);
    f.setBold(true);
    p.setFont(f);
    p.drawText(pixmap.rect(), Qt::AlignCenter, title);
    return pixmap;
}

} // namespace

QPixmap loadPicture(const std::filesystem::path& folder, const QString& keyword, QSize size, const QString& title) {
    QDir dir(QString::fromStdString(folder.string()));
    const QStringList names = dir.entryList(
        {QStringLiteral("*.jpg"), QStringLiteral("*.jpeg"), QStringLiteral("*.JPG"), QStringLiteral("*.JPEG")},
        QDir::Files, QDir::Name);
    for (const QString& name : names) {
        if (!name.contains(keyword, Qt::CaseInsensitive)) {
            continue;
        }
        QImageReader reader(dir.filePath(name));
        const QSize full = reader.size();
        if (full.isValid()) {
            reader.setScaledSize(full.scaled(size, Qt::KeepAspectRatio));
        }
        const QImage image = reader.read();
        if (!image.isNull()) {
            return QPixmap::fromImage(image);
        }
    }
    return drawnCard(size, title);
}

} // namespace arrowsel::app
