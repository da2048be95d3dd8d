// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>
#include <filesystem>

namespace arrowsel::app {

// The small window that shows while the program starts.
class TSplashV : public QWidget {
    Q_OBJECT
public:
    explicit TSplashV(const std::filesystem::path& dataFolder, QWidget* parent = nullptr);
};

} // namespace arrowsel::app
