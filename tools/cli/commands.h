// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/selection.h"
#include "present/window_state.h"

#include <cstddef>
#include <filesystem>
#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace arrowsel::calc {
struct BuildSheet;
}

namespace arrowsel::cli {

// Exit statuses shared by the subcommands (the manual page's EXIT STATUS lists them).
inline constexpr int kExitOk = 0;
// The command failed (it says why); customers find: no record; check-data: a problem found.
inline constexpr int kExitFailure = 1;
// A bow weight, arrow length or point weight that is no whole number, or a setup the selection
// computes nothing for.
inline constexpr int kExitConversionError = 2;
inline constexpr int kExitUsage = 64;           // as sysexits.h's EX_USAGE
inline constexpr int kExitBookUnreachable = 69; // as EX_UNAVAILABLE: the book's server was not reached

// A subcommand gets the arguments that follow its name.
using CommandFunction = int (*)(std::span<const std::string_view> args);

int recommendCommand(std::span<const std::string_view> args);
extern const char* const kRecommendUsage;

int reportCommand(std::span<const std::string_view> args);
extern const char* const kReportUsage;

// The finished arrow's build sheet: JSON, or a PDF (only a build with the reports has that).
int buildSheetCommand(std::span<const std::string_view> args);
extern const char* const kBuildSheetUsage;

int checkDataCommand(std::span<const std::string_view> args);
extern const char* const kCheckDataUsage;

// The customer book: copy, find and export.
int customersCommand(std::span<const std::string_view> args);
extern const char* const kCustomersUsage;

// One option a command takes: its name with the dashes, whether a value follows it, and the
// letter that names it too, if any.
struct OptionSpec {
    const char* name;
    bool valued;
    char shortName = 0;
};

// A command line as read: its options in the order given, each with its value (empty for a
// flag), and its plain arguments.
struct CommandLine {
    std::vector<std::pair<std::string_view, std::string>> options;
    std::vector<std::string> plain;
    std::size_t end = 0; // read with PlainArgs::EndOptions: where the plain arguments start
    // The value the option was last given, or nullptr when it was not.
    const std::string* last(std::string_view name) const;
};

// What a plain argument (one that is no option) is to a command: a mistake, one of its own, or
// the first of what follows the options.
enum class PlainArgs { Refused, Kept, EndOptions };
// Reads `args` as `specs` allow; returns what is wrong (an unknown option, a missing value, an
// argument refused), or nothing.
std::optional<std::string> readCommandLine(std::span<const std::string_view> args, std::span<const OptionSpec> specs,
                                           CommandLine& out, PlainArgs plain = PlainArgs::Refused);

// --help or -h among the arguments (before a "--"): every command answers it wherever it stands.
bool asksForHelp(std::span<const std::string_view> args);

// The bow setup and data folder options of the subcommands that run a selection (the recommend
// usage lists them).
struct SetupOptions {
    engine::BowSetup setup;
    std::optional<std::string> dataDir;
};
// Options by name: those followed by a value, and the flags.
std::vector<OptionSpec> optionSpecs(std::initializer_list<const char*> valued,
                                    std::initializer_list<const char*> flags = {});
// The setup options followed by a command's own.
std::vector<OptionSpec> withSetupOptions(std::initializer_list<const char*> valued,
                                         std::initializer_list<const char*> flags = {});
// Sets the setup option `name` from `value`; returns what is wrong with the value, or nothing.
// A name that is no setup option is left alone.
std::optional<std::string> applySetupOption(std::string_view name, std::string_view value, SetupOptions& options);

// Why a run that reported no error still gave nothing to use, or nothing: a text option that is
// no whole number although the run did not read it, or a setup whose page the run did not compute
// (the window waits while such texts are typed).
std::optional<std::string> unusableSetup(const engine::BowSetup& setup, const engine::SelectionResult& result);

// Lays the build sheet out as the specifications window prints it and writes it as a PDF file;
// says what failed on standard error. Only in a build with the reports.
int writeBuildSheetPdf(const std::filesystem::path& dataFolder, const engine::BowSetup& setup,
                       const calc::BuildSheet& sheet, const std::string& pdf);

} // namespace arrowsel::cli
