// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/cli/commands.h"

#include <cstdio>
#include <exception>
#include <new>
#include <span>
#include <string_view>
#include <vector>

namespace {

struct Command {
    std::string_view name;
    arrowsel::cli::CommandFunction run;
    const char* usage;
};

const Command kCommands[] = {
    {"recommend", arrowsel::cli::recommendCommand, arrowsel::cli::kRecommendUsage},
#ifdef ARROWSEL_CLI_REPORTS
    {"report", arrowsel::cli::reportCommand, arrowsel::cli::kReportUsage},
#endif
    {"build-sheet", arrowsel::cli::buildSheetCommand, arrowsel::cli::kBuildSheetUsage},
    {"check-data", arrowsel::cli::checkDataCommand, arrowsel::cli::kCheckDataUsage},
    {"customers", arrowsel::cli::customersCommand, arrowsel::cli::kCustomersUsage},
};

void printUsage(std::FILE* to) {
    std::fputs("usage: arrowsel-cli <command> [options]\n"
               "       arrowsel-cli --help | --version\n"
               "Every command and customers command answers --help (-h).\n\ncommands:\n",
               to);
    for (const Command& c : kCommands) {
        std::fputs(c.usage, to);
    }
    std::fputs("\nexit status:\n"
               "  0   done\n"
               "  1   the command failed and says why; customers find: no record found;\n"
               "      check-data: a problem found\n"
               "  2   a weight or length that is no whole number, or a setup nothing is computed for\n"
               "  64  the command line is wrong\n"
               "  69  the customer book's server could not be reached\n",
               to);
}

// Every command ends here, whatever it throws: a file-system error the command did not expect
// (a folder that cannot be read, a link that loops) ends it with the error's text, never with
// std::terminate.
int runCommand(const Command& c, std::span<const std::string_view> args) {
    const auto say = [&c](const char* what) {
        std::fprintf(stderr, "arrowsel-cli %.*s: %s\n", static_cast<int>(c.name.size()), c.name.data(), what);
    };
    try {
        return c.run(args);
    } catch (const std::bad_alloc&) {
        say("not enough memory to finish the command");
    } catch (const std::exception& e) {
        say(e.what());
    } catch (...) {
        say("the command stopped on an unexpected error");
    }
    return arrowsel::cli::kExitFailure;
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    static constexpr arrowsel::cli::OptionSpec kOptions[] = {{"--help", false, 'h'}, {"--version", false, 'V'}};
    arrowsel::cli::CommandLine line;
    if (const auto problem =
            arrowsel::cli::readCommandLine(args, kOptions, line, arrowsel::cli::PlainArgs::EndOptions)) {
        std::fprintf(stderr, "arrowsel-cli: %s\n", problem->c_str());
        printUsage(stderr);
        return arrowsel::cli::kExitUsage;
    }
    const std::string_view command = line.plain.empty() ? std::string_view() : line.plain.front();
    if (line.options.empty() ? command == "help" : line.options[0].first == "--help") {
        printUsage(stdout);
        return arrowsel::cli::kExitOk;
    }
    if (!line.options.empty()) {
        std::fputs("arrowsel-cli " ARROWSEL_VERSION "\n", stdout);
        return arrowsel::cli::kExitOk;
    }
    if (command.empty()) {
        printUsage(stderr);
        return arrowsel::cli::kExitUsage;
    }
    for (const Command& c : kCommands) {
        if (command == c.name) {
            return runCommand(c, std::span<const std::string_view>(args).subspan(line.end + 1));
        }
    }
    std::fprintf(stderr, "arrowsel-cli: unknown command '%.*s'\n", static_cast<int>(command.size()), command.data());
    printUsage(stderr);
    return arrowsel::cli::kExitUsage;
}
