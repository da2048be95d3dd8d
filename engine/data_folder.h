#pragma once

#include <filesystem>
#include <optional>
#include <string_view>

namespace arrowsel::engine {

// The program's data folder: `currentDir` when it holds the hunting chart "HUNTCHRT.DBF" (name
// matched without regard to letter case), otherwise the per-user folder userDataFolder().
std::filesystem::path findDataFolder(const std::filesystem::path& currentDir);
std::filesystem::path findDataFolder(); // from the process's current directory

// $XDG_DATA_HOME/arrowsel when that variable holds an absolute path, else ~/.local/share/arrowsel.
std::filesystem::path userDataFolder();

// The entry of `folder` whose name equals `name` without regard to ASCII letter case; nullopt
// when there is none (or the folder cannot be read). An exact match is preferred.
std::optional<std::filesystem::path> findFileNoCase(const std::filesystem::path& folder, std::string_view name);

} // namespace arrowsel::engine
