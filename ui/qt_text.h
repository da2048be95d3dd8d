// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <string>
#include <string_view>

// The one crossing between the Qt-free layers' text (UTF-8 in std::string) and the windows'
// QString. It sits in ui/, the layer every window links above Qt, so that the core never sees
// QString and no window writes its own conversion. Conversions are explicit on purpose: the Qt layers build with QT_NO_CAST_FROM_ASCII so
// that no table text, which arrives in a code page, is ever converted implicitly.
namespace arrowsel::ui {

inline QString toQt(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

inline std::string fromQt(const QString& text) {
    return text.toStdString();
}

} // namespace arrowsel::ui
