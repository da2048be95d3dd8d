// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/data_setup.h"

#include "data/new_file.h"
#include "data/table_error.h"
#include "engine/file_lookup.h"
#include "present/data_folder.h"

#include <QCoreApplication>
#include <QDir>
#include <system_error>

namespace arrowsel::app {

namespace fs = std::filesystem;

namespace {
// The largest bundled file (the pictures are the largest, a few hundred kilobytes).
constexpr std::uint64_t kMaxSampleFile = std::uint64_t{64} << 20;
} // namespace

int seedFolder(const fs::path& from, const fs::path& to, data::IoProbe* probe) {
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
        // Each copy is made whole under a temporary name and then takes its name only if that is
        // still free (a second copy of the program may be seeding at once): a kill leaves no file
        // or the whole one, never a part that "never overwrites" would keep for good.
        try {
            data::NewFile copy(to / name, data::NewFile::Replace::Never, probe);
            copy.write(data::readBoundedFile(entry.path(), kMaxSampleFile));
            if (copy.commit()) {
                ++copied;
            }
        } catch (const data::ETableError&) {
            // Left for the next start; the folder's check names what is missing.
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
        result.problem =
            QCoreApplication::translate("arrowsel::app::DataFolder",
                                        "The size charts were not found.\n\nThe program looks for HUNTCHRT.DBF and the "
                                        "other chart files in the current folder and in\n%1\n\nCopy the chart files "
                                        "into that folder and start the program again.")
                .arg(QDir::toNativeSeparators(QString::fromStdString(result.folder.string())));
    }
    return result;
}

} // namespace arrowsel::app
