// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/alert_label.h"

#include <QAccessible>

namespace arrowsel::widgets {

TAlertLabel::TAlertLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {}

void TAlertLabel::showEvent(QShowEvent* event) {
    QLabel::showEvent(event);
    QAccessibleEvent alert(this, QAccessible::Alert);
    QAccessible::updateAccessibility(&alert);
    emit alerted();
}

} // namespace arrowsel::widgets
