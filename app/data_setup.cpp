// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/data_setup.h"

#include "engine/file_lookup.h"
#include "present/data_folder.h"

#include <QDir>
#include <system_error>

namespace arrowsel::app {

namespace fs = std::filesystem;

int seedFolder(const fs::path& from, const fs::path& to) {
    std::error_code ec;
    int copied = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(from, ec)) {
        if (!entry.is_regular_file(ec)) {
            continue;
        }
        const std::string name = entry.path().filename().string();
        if (engine::findFileNoCase(to, name)) {
            continue;
        }
        // skip_existing guards the race with a second copy of the program seeding at once.
        if (fs::copy_file(entry.path(), to / name, fs::copy_options::skip_existing, ec)) {
            ++copied;
        }
    }
    return copied;
}

DataFolder prepareDataFolder(const fs::path& currentDir, const std::vector<fs::path>& bundled) {
    DataFolder result;
    result.folder = present::findDataFolder(currentDir);
    if (result.folder != currentDir) {
        present::createPrivateFolder(result.folder);
        for (const fs::path& source : bundled) {
            if (engine::findFileNoCase(source, "HUNTCHRT.DBF")) {
                seedFolder(source, result.folder);
                break;
            }
        }
    }
    if (!engine::findFileNoCase(result.folder, "HUNTCHRT.DBF")) {
        result.problem = QStringLiteral("The size charts were not found.\n\nThe program looks for HUNTCHRT.DBF and the "
                                        "other chart files in the current folder and in\n%1\n\nCopy the chart files "
                                        "into that folder and start the program again.")
                             .arg(QDir::toNativeSeparators(QString::fromStdString(result.folder.string())));
    }
    return result;
}

} // namespace arrowsel::app
