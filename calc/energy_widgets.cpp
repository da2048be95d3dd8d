// SPDX-License-Identifier: GPL-3.0-or-later
#include "calc/energy_widgets.h"

#include <QPainter>

namespace arrowsel::calc {

TEnergyGauge::TEnergyGauge(QWidget* parent) : QProgressBar(parent) {
    setOrientation(Qt::Vertical);
    setInvertedAppearance(false);
    setTextVisible(false);
    setRange(0, 100);
}

void TEnergyGauge::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QRect frame = rect().adjusted(0, 0, -1, -1);
    p.fillRect(frame, palette().color(QPalette::Base));
    const int span = maximum() - minimum();
    if (span > 0) {
        const QRect inner = frame.adjusted(1, 1, 0, 0);
        const double filled = double(value() - minimum()) / span;
        const struct {
            double from = 0, to = 0;
            QColor color;
        } bands[] = {{0.0, 1.0 / 3, QColor(0x00, 0xA0, 0x00)},
                     {1.0 / 3, 2.0 / 3, QColor(0xF0, 0xD0, 0x00)},
                     {2.0 / 3, 1.0, QColor(0xD0, 0x00, 0x00)}};
        for (const auto& band : bands) {
            const double top = std::min(filled, band.to);
            if (top <= band.from) {
                break;
            }
            const int y0 = inner.bottom() - int(inner.height() * top);
            const int y1 = inner.bottom() - int(inner.height() * band.from);
            p.fillRect(QRect(inner.left(), y0, inner.width(), y1 - y0 + 1), band.color);
        }
    }
    p.setPen(palette().color(QPalette::Mid));
    p.drawRect(frame);
}

TPictureAnimator::TPictureAnimator(int intervalMs, QWidget* parent) : QLabel(parent) {
    setAlignment(Qt::AlignCenter);
    timer_.setInterval(intervalMs);
    connect(&timer_, &QTimer::timeout, this, &TPictureAnimator::step);
}

void TPictureAnimator::play(const QString& listName, const QList<QPixmap>& frames) {
    listName_ = listName;
    frames_ = frames;
    frame_ = 0;
    setPixmap(frames_.isEmpty() ? QPixmap() : frames_.front());
    timer_.start();
}

void TPictureAnimator::step() {
    if (frames_.isEmpty()) {
        return;
    }
    frame_ = (frame_ + 1) % static_cast<int>(frames_.size());
    setPixmap(frames_[frame_]);
}

} // namespace arrowsel::calc
