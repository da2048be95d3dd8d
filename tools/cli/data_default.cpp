// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/cli/data_default.h"

#include "engine/file_lookup.h"
#include "present/data_folder.h"

#include <cstdio>

namespace arrowsel::cli {

namespace fs = std::filesystem;

DefaultDataFolder defaultDataFolder() {
    DefaultDataFolder result;
    result.folder = present::findDataFolder();
    if (engine::findFileNoCase(result.folder, "HUNTCHRT.DBF")) {
        return result;
    }
    for (const fs::path& bundled : present::bundledDataFolders()) {
        if (engine::findFileNoCase(bundled, "HUNTCHRT.DBF")) {
            result.folder = bundled;
            return result;
        }
    }
    result.problem = "no data folder: neither the current folder nor " + result.folder.string() +
                     " holds the size charts (HUNTCHRT.DBF and the others).\n"
                     "Start arrowsel once to set up that folder with the sample charts, copy a maker's "
                     "chart files into it, or name a folder with --data DIR.";
    return result;
}

std::optional<fs::path> chooseDataFolder(const std::optional<std::string>& dataDir) {
    if (dataDir) {
        return fs::path(*dataDir);
    }
    DefaultDataFolder found = defaultDataFolder();
    if (!found.problem.empty()) {
        std::fprintf(stderr, "arrowsel-cli: %s\n", found.problem.c_str());
        return std::nullopt;
    }
    return std::move(found.folder);
}

} // namespace arrowsel::cli
