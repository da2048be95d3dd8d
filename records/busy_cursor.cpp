// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/busy_cursor.h"

#include <QCursor>
#include <QGuiApplication>

namespace arrowsel::records {

BusyCursor::BusyCursor() {
    QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

BusyCursor::~BusyCursor() {
    QGuiApplication::restoreOverrideCursor();
}

} // namespace arrowsel::records
