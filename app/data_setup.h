// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "data/io_probe.h"

#include <QString>
#include <filesystem>
#include <vector>

namespace arrowsel::app {

struct DataFolder {
    std::filesystem::path folder;
    QString problem; // empty when the charts are there; else what to tell the user
};

// The data folder for a start in `currentDir`: the current folder when it holds the hunting chart,
// else the per-user folder, first filled with every file of the first existing bundled folder that
// it does not already have (letter case ignored). Files already there are never overwritten.
DataFolder prepareDataFolder(const std::filesystem::path& currentDir,
                             const std::vector<std::filesystem::path>& bundled);

// Copies the files of `from` into `to` that `to` does not hold yet, each made whole under a
// temporary name before it takes its name (see data::NewFile); returns how many were copied.
// `probe` watches the making of the copies (see data::IoProbe).
int seedFolder(const std::filesystem::path& from, const std::filesystem::path& to, data::IoProbe* probe = nullptr);

} // namespace arrowsel::app
