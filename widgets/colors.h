// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <cstdint>

namespace arrowsel::widgets {

// Colours travel through the program as 24-bit values in blue-green-red order (0x00BBGGRR), the
// layout the charts' colour tables are written in; Qt wants red-green-blue.
inline QColor colorFromBgr(std::uint32_t bgr) {
    return QColor(static_cast<int>(bgr & 0xFFu), static_cast<int>((bgr >> 8) & 0xFFu),
                  static_cast<int>((bgr >> 16) & 0xFFu));
}

inline std::uint32_t bgrFromColor(const QColor& color) {
    return static_cast<std::uint32_t>(color.red()) | (static_cast<std::uint32_t>(color.green()) << 8) |
           (static_cast<std::uint32_t>(color.blue()) << 16);
}

} // namespace arrowsel::widgets
