// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLabel>

namespace arrowsel::widgets {

// A warning shown in a window's own text (not in a box): each time it comes into view, also when
// its window opens with it showing, screen readers are told, as an alert, so that it is heard
// as it is seen.
class TAlertLabel : public QLabel {
    Q_OBJECT
public:
    explicit TAlertLabel(const QString& text, QWidget* parent = nullptr);

signals:
    // Each time screen readers are told.
    void alerted();

protected:
    void showEvent(QShowEvent* event) override;
};

} // namespace arrowsel::widgets
