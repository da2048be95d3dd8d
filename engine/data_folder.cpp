#include "engine/data_folder.h"

#include <cstdlib>
#include <string>
#include <system_error>

namespace arrowsel::engine {

namespace {

bool equalNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) {
            return false;
        }
    }
    return true;
}

} // namespace

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
        if (equalNoCase(entryName, name) && entry.is_regular_file(ec)) {
            return entry.path();
        }
    }
    return std::nullopt;
}

std::filesystem::path userDataFolder() {
    const char* xdg = std::getenv("XDG_DATA_HOME");
    if (xdg != nullptr && xdg[0] == '/') {
        return std::filesystem::path(xdg) / "arrowsel";
    }
    const char* home = std::getenv("HOME");
    std::filesystem::path base = (home != nullptr && home[0] != '\0') ? std::filesystem::path(home) : "/";
    return base / ".local" / "share" / "arrowsel";
}

std::filesystem::path findDataFolder(const std::filesystem::path& currentDir) {
    if (findFileNoCase(currentDir, "HUNTCHRT.DBF")) {
        return currentDir;
    }
    return userDataFolder();
}

std::filesystem::path findDataFolder() {
    std::error_code ec;
    auto current = std::filesystem::current_path(ec);
    if (ec) {
        return userDataFolder();
    }
    return findDataFolder(current);
}

} // namespace arrowsel::engine
