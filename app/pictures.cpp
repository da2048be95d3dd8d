// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/pictures.h"

#include "calc/pictures.h"

#include <QLinearGradient>
#include <QPainter>
#include <algorithm>
#include <vector>

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
    // Listed and read by the paths' bytes, so a folder whose name is not UTF-8 shows its pictures.
    std::vector<std::filesystem::path> names;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const QString name = QString::fromStdString(it->path().filename().string());
        if (name.endsWith(QStringLiteral(".jpg"), Qt::CaseInsensitive) ||
            name.endsWith(QStringLiteral(".jpeg"), Qt::CaseInsensitive)) {
            if (name.contains(keyword, Qt::CaseInsensitive)) {
                names.push_back(it->path());
            }
        }
    }
    std::sort(names.begin(), names.end());
    for (const std::filesystem::path& file : names) {
        const QImage image = calc::readJpeg(file, nullptr, size);
        if (!image.isNull()) {
            return QPixmap::fromImage(image);
        }
    }
    return drawnCard(size, title);
}

} // namespace arrowsel::app
