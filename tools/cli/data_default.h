// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace arrowsel::cli {

// The data folder a subcommand reads when no --data is given.
struct DefaultDataFolder {
    std::filesystem::path folder;
    std::string problem; // empty when `folder` holds the hunting chart; else what to tell the user
};

// The program's data folder (the current folder when it holds the hunting chart, else the per-user
// folder). Until the program has been started once the per-user folder is empty; then the bundled
// sample data the program would fill it from is read in place (never written).
DefaultDataFolder defaultDataFolder();

// The folder a subcommand works on: `dataDir` when given, else the default one. When there is no
// default folder, says why on standard error and returns nullopt.
std::optional<std::filesystem::path> chooseDataFolder(const std::optional<std::string>& dataDir);

} // namespace arrowsel::cli
