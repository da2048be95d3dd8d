// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/selection.h"
#include "present/window_state.h"

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

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

// The bow setup and data folder options of the subcommands that run a selection (the recommend
// usage lists them).
struct SetupOptions {
    engine::BowSetup setup;
    std::optional<std::string> dataDir;
};
enum class OptionMatch { Taken, NotMine, Error };
// Takes the option at args[i] (and its value, advancing i) when it is a setup option; on Error,
// `error` says what is wrong.
OptionMatch parseSetupOption(std::span<const std::string_view> args, std::size_t& i, SetupOptions& options,
                             std::string& error);

// Why a run that reported no error still gave nothing to use, or nothing: a text option that is
// no whole number although the run did not read it, or a setup whose page the run did not compute
// (the window waits while such texts are typed).
std::optional<std::string> unusableSetup(const engine::BowSetup& setup, const engine::SelectionResult& result);

// Lays the build sheet out as the specifications window prints it and writes it as a PDF file;
// says what failed on standard error. Only in a build with the reports.
int writeBuildSheetPdf(const MainWindowState& state, const calc::BuildSheet& sheet, const std::string& pdf);

} // namespace arrowsel::cli
