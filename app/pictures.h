// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPixmap>
#include <QSize>
#include <QString>
#include <filesystem>

namespace arrowsel::app {

// The first JPEG picture in `folder` whose file name contains `keyword` (letter case ignored),
// scaled to fit `size`; when there is none, a plain drawn card of that size with `title` on it,
// so a missing picture never stops a window from opening.
QPixmap loadPicture(const std::filesystem::path& folder, const QString& keyword, QSize size, const QString& title);

} // namespace arrowsel::app
