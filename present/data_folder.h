// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The data folder rule of the program and of arrowsel-cli: where they look for the charts when
// they start. It sits with the presentation layer both of them start from, not in the engine,
// which is always handed its folder.

#include <filesystem>
#include <vector>

namespace arrowsel::present {

// The program's data folder: `currentDir` when it holds the hunting chart "HUNTCHRT.DBF" (name
// matched without regard to letter case), otherwise the per-user folder userDataFolder().
std::filesystem::path findDataFolder(const std::filesystem::path& currentDir);
std::filesystem::path findDataFolder(); // from the process's current directory

// $XDG_DATA_HOME/arrowsel when that variable holds an absolute path, else ~/.local/share/arrowsel.
std::filesystem::path userDataFolder();

// Creates `folder` and every missing folder above it with mode 0700, private to the user, as the
// XDG base directory rules ask of the folders a program makes for its user's data (the customers'
// names and addresses among them). A folder that exists keeps its mode. Returns false when it
// could not be created.
bool createPrivateFolder(const std::filesystem::path& folder);

// The folders of bundled sample data the per-user folder is filled from, in order of preference:
// the share folder beside the running executable (an installation, wherever it was moved; so an
// installed program never reads a build tree that may still exist), the build tree's generated
// data, the data folder of the configured installation prefix.
std::vector<std::filesystem::path> bundledDataFolders();

} // namespace arrowsel::present
