// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLabel>
#include <QList>
#include <QPixmap>
#include <QProgressBar>
#include <QTimer>

namespace arrowsel::calc {

// A vertical gauge that fills from the bottom in three bands: green for the lowest third of its
// range, yellow for the middle and red for the top.
class TEnergyGauge : public QProgressBar {
    Q_OBJECT
public:
    explicit TEnergyGauge(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

// Shows the frames of one picture list in turn.
class TPictureAnimator : public QLabel {
    Q_OBJECT
public:
    explicit TPictureAnimator(int intervalMs, QWidget* parent = nullptr);

    // Starts over on the first frame of `frames`, named `listName`.
    void play(const QString& listName, const QList<QPixmap>& frames);
    const QString& listName() const { return listName_; }
    int frame() const { return frame_; }
    int frameCount() const { return static_cast<int>(frames_.size()); }
    bool isRunning() const { return timer_.isActive(); }
    int interval() const { return timer_.interval(); }
    void step();

private:
    QTimer timer_;
    QString listName_;
    QList<QPixmap> frames_;
    int frame_ = 0;
};

} // namespace arrowsel::calc
