// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The pointer entering and leaving a widget, sent as the window system would, for the tests of
// hover notices.

#include <QApplication>
#include <QEnterEvent>
#include <QEvent>
#include <QPoint>
#include <QWidget>

namespace arrowsel::test {

// The pointer enters `widget` at `local`, in widget coordinates.
inline void sendEnter(QWidget* widget, QPoint local) {
    const QPointF at(local);
    QEnterEvent e(at, at, QPointF(widget->mapToGlobal(local)));
    QApplication::sendEvent(widget, &e);
}

inline void sendLeave(QWidget* widget) {
    QEvent e(QEvent::Leave);
    QApplication::sendEvent(widget, &e);
}

} // namespace arrowsel::test
