// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <filesystem>

namespace arrowsel::app {

// "About 2009": the maker's picture, web address and details.
class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(const std::filesystem::path& dataFolder, QWidget* parent = nullptr);
};

} // namespace arrowsel::app
