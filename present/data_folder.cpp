// SPDX-License-Identifier: GPL-3.0-or-later
#include "present/data_folder.h"

#include "engine/file_lookup.h"

#include <cerrno>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <system_error>
#include <vector>

namespace arrowsel::present {

using engine::findFileNoCase;

std::filesystem::path userDataFolder() {
    const char* xdg = std::getenv("XDG_DATA_HOME");
    if (xdg != nullptr && xdg[0] == '/') {
        return std::filesystem::path(xdg) / "arrowsel";
    }
    const char* home = std::getenv("HOME");
    std::filesystem::path base = (home != nullptr && home[0] != '\0') ? std::filesystem::path(home) : "/";
    return base / ".local" / "share" / "arrowsel";
}

std::filesystem::path findDataFolder(const std::filesystem::path& currentDir) {
    if (findFileNoCase(currentDir, "HUNTCHRT.DBF")) {
        return currentDir;
    }
    return userDataFolder();
}

std::filesystem::path findDataFolder() {
    std::error_code ec;
    auto current = std::filesystem::current_path(ec);
    if (ec) {
        return userDataFolder();
    }
    return findDataFolder(current);
}

bool createPrivateFolder(const std::filesystem::path& folder) {
    std::error_code ec;
    if (std::filesystem::is_directory(folder, ec)) {
        return true;
    }
    if (folder.has_parent_path() && folder.parent_path() != folder && !createPrivateFolder(folder.parent_path())) {
        return false;
    }
    // EEXIST: a second copy of the program made it meanwhile.
    return ::mkdir(folder.c_str(), 0700) == 0 || (errno == EEXIST && std::filesystem::is_directory(folder, ec));
}

std::vector<std::filesystem::path> bundledDataFolders() {
    std::vector<std::filesystem::path> result;
    std::error_code ec;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (!ec) {
        result.push_back(self.parent_path().parent_path() / "share" / "arrowsel");
    }
#ifdef ARROWSEL_BUILD_DATA_DIR
    result.emplace_back(ARROWSEL_BUILD_DATA_DIR);
#endif
#ifdef ARROWSEL_INSTALL_DATA_DIR
    result.emplace_back(ARROWSEL_INSTALL_DATA_DIR);
#endif
    return result;
}

} // namespace arrowsel::present
