// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/data_check.h"
#include "records/book_settings.h"
#include "records/customer_book.h"
#include "tools/cli/commands.h"
#include "tools/cli/data_default.h"

#include <cstdio>
#include <optional>
#include <string>

namespace arrowsel::cli {

const char* const kCheckDataUsage = "  check-data [--data DIR]\n"
                                    "      Opens every table and index of the data folder, seeks every chart cell's\n"
                                    "      specification key and reads the numbers the program reads; prints one line\n"
                                    "      per problem (file, row, cell) and exits with 1 when there is any. When\n"
                                    "      arrowsel.ini names a customer book on a server, it opens that book instead\n"
                                    "      of the folder's customer files.\n";

namespace {

int usageError(const std::string& message) {
    std::fprintf(stderr, "arrowsel-cli check-data: %s\nusage: arrowsel-cli\n%s", message.c_str(), kCheckDataUsage);
    return kExitUsage;
}

// The customer book as the program finds it: the settings file read as the program reads it, and
// the server book it names opened and counted. Sets whether the folder's own customer files are
// the book (the line missing, or malformed: removing it, as its message says, brings them back).
std::vector<engine::DataProblem> checkCustomerBook(const std::filesystem::path& folder,
                                                   engine::DataCheckOptions& options) {
    std::vector<engine::DataProblem> problems;
    const auto problem = [&](const char* what) {
        problems.push_back({engine::DataProblem::Kind::CustomerBook, records::kSettingsFile, 0, 0, what});
    };
    std::optional<std::string> address;
    try {
        address = records::configuredBookAddress(folder / records::kSettingsFile);
    } catch (const records::EBookError& e) {
        problem(e.what());
        return problems;
    }
    if (!address) {
        return problems;
    }
    options.customerFiles = false;
    try {
        records::openServerBook(*address)->count();
    } catch (const records::EBookError& e) {
        problem(e.what());
    }
    return problems;
}

} // namespace

int checkDataCommand(std::span<const std::string_view> args) {
    if (asksForHelp(args)) {
        std::fprintf(stdout, "usage: arrowsel-cli\n%s", kCheckDataUsage);
        return kExitOk;
    }
    static constexpr OptionSpec kOptions[] = {{"--data", true}};
    CommandLine line;
    if (const auto problem = readCommandLine(args, kOptions, line)) {
        return usageError(*problem);
    }
    std::optional<std::string> dataDir;
    if (const std::string* given = line.last("--data")) {
        dataDir = *given;
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
    engine::DataCheckOptions options;
    std::vector<engine::DataProblem> problems = checkCustomerBook(folder, options);
    for (engine::DataProblem& p : engine::checkDataFolder(folder, options)) {
        problems.push_back(std::move(p));
    }
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
