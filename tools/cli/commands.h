#pragma once

#include <span>
#include <string_view>

namespace arrowsel::cli {

// Exit statuses shared by the subcommands.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitConversionError = 2;
inline constexpr int kExitUsage = 64;

// A subcommand gets the arguments that follow its name.
using CommandFunction = int (*)(std::span<const std::string_view> args);

int recommendCommand(std::span<const std::string_view> args);
extern const char* const kRecommendUsage;

} // namespace arrowsel::cli
