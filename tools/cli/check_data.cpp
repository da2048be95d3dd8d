// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/data_check.h"
#include "tools/cli/commands.h"
#include "tools/cli/data_default.h"

#include <cstdio>
#include <optional>
#include <string>

namespace arrowsel::cli {

const char* const kCheckDataUsage = "  check-data [--data DIR]\n"
                                    "      Opens every table and index of the data folder, seeks every chart cell's\n"
                                    "      specification key and reads the numbers the program reads; prints one line\n"
                                    "      per problem (file, row, cell) and exits with 1 when there is any.\n";

namespace {

int usageError(const std::string& message) {
    std::fprintf(stderr, "arrowsel-cli check-data: %s\nusage: arrowsel-cli\n%s", message.c_str(), kCheckDataUsage);
    return kExitUsage;
}

} // namespace

int checkDataCommand(std::span<const std::string_view> args) {
    std::optional<std::string> dataDir;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (arg == "--help" || arg == "-h") {
            std::fprintf(stdout, "usage: arrowsel-cli\n%s", kCheckDataUsage);
            return kExitOk;
        }
        if (arg == "--data") {
            if (i + 1 >= args.size()) {
                return usageError("option --data needs a value");
            }
            dataDir = std::string(args[++i]);
        } else if (arg.starts_with("--data=")) {
            dataDir = std::string(arg.substr(7));
        } else {
            return usageError("unknown option '" + std::string(arg) + "'");
        }
    }

    const std::optional<std::filesystem::path> chosen = chooseDataFolder(dataDir);
    if (!chosen) {
        return kExitFailure;
    }
    const std::filesystem::path& folder = *chosen;
    std::error_code ec;
    const std::filesystem::file_status status = std::filesystem::status(folder, ec);
    if (ec && ec != std::errc::no_such_file_or_directory) {
        std::fprintf(stderr, "arrowsel-cli check-data: cannot read '%s': %s\n", folder.string().c_str(),
                     ec.message().c_str());
        return kExitFailure;
    }
    if (!std::filesystem::is_directory(status)) {
        std::fprintf(stderr, "arrowsel-cli check-data: '%s' is no folder\n", folder.string().c_str());
        return kExitFailure;
    }
    const auto problems = engine::checkDataFolder(folder);
    for (const auto& p : problems) {
        std::fprintf(stdout, "%s\n", p.text().c_str());
    }
    if (problems.empty()) {
        std::fprintf(stdout, "%s: no problems found\n", folder.string().c_str());
        return kExitOk;
    }
    std::fprintf(stdout, "%s: %zu problem%s found\n", folder.string().c_str(), problems.size(),
                 problems.size() == 1 ? "" : "s");
    return kExitFailure;
}

} // namespace arrowsel::cli
