#pragma once

#include <filesystem>
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

} // namespace arrowsel::cli
