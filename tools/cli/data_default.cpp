#include "tools/cli/data_default.h"

#include "engine/data_folder.h"

#include <system_error>
#include <vector>

namespace arrowsel::cli {

namespace fs = std::filesystem;

namespace {

// The places the program seeds the per-user folder from, in the program's order: the share folder
// beside the executable (an installation, wherever it was moved), the build tree's generated
// data, the data folder of the configured installation prefix.
std::vector<fs::path> bundledDataFolders() {
    std::vector<fs::path> result;
    std::error_code ec;
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
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

} // namespace

DefaultDataFolder defaultDataFolder() {
    DefaultDataFolder result;
    result.folder = engine::findDataFolder();
    if (engine::findFileNoCase(result.folder, "HUNTCHRT.DBF")) {
        return result;
    }
    for (const fs::path& bundled : bundledDataFolders()) {
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

} // namespace arrowsel::cli
