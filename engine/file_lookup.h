// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <optional>
#include <string_view>

namespace arrowsel::engine {

// The entry of `folder` whose name equals `name` without regard to ASCII letter case; nullopt
// when there is none (or the folder cannot be read). An exact match is preferred. A maker's files
// come with names in any case, so every data file of a run is found this way.
std::optional<std::filesystem::path> findFileNoCase(const std::filesystem::path& folder, std::string_view name);

} // namespace arrowsel::engine
