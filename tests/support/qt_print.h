// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <ostream>

QT_BEGIN_NAMESPACE
// Lets GoogleTest print texts in failure messages instead of bytes.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}
QT_END_NAMESPACE
