// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/file_lookup.h"

#include "data/file_io.h"

#include <string>
#include <system_error>

namespace arrowsel::engine {

std::optional<std::filesystem::path> findFileNoCase(const std::filesystem::path& folder, std::string_view name) {
    std::error_code ec;
    const auto exact = folder / std::filesystem::path(std::string(name));
    if (std::filesystem::is_regular_file(exact, ec)) {
        return exact;
    }
    std::filesystem::directory_iterator it(folder, ec);
    if (ec) {
        return std::nullopt;
    }
    for (const auto& entry : it) {
        const std::string entryName = entry.path().filename().string();
        if (data::equalNoCase(entryName, name) && entry.is_regular_file(ec)) {
            return entry.path();
        }
    }
    return std::nullopt;
}

} // namespace arrowsel::engine
