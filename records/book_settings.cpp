// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/book_settings.h"

#include "data/file_io.h"
#include "data/table_error.h"
#include "records/book_address.h"
#include "records/customer_book.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <sstream>

namespace arrowsel::records {

namespace fs = std::filesystem;

namespace {

std::string_view trimmed(std::string_view s) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!s.empty() && blank(s.front())) {
        s.remove_prefix(1);
    }
    while (!s.empty() && blank(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

std::string lower(std::string_view s) {
    std::string out(s);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

[[noreturn]] void malformed(const fs::path& file, int line, const std::string& what) {
    throw EBookError("The settings file " + file.string() + ", line " + std::to_string(line) + ": " + what +
                     " Correct the line or remove it (without it the customers are kept in the data folder's files).");
}

// The settings file's text; nothing when there is none. It lies in the data folder, which may be
// shared: a pipe under its name is refused rather than waited on, and no more is read than a
// settings file holds.
std::optional<std::string> settingsText(const fs::path& settingsFile) {
    constexpr std::size_t kMostASettingsFileHolds = std::size_t{64} * 1024;
    data::File file;
    if (const int err = file.open(settingsFile, data::File::Access::ReadOnly); err != 0) {
        if (err == ENOENT || err == ENOTDIR) {
            return std::nullopt;
        }
        throw EBookError("The settings file " + settingsFile.string() + " cannot be read: " + data::errorText(err) +
                         ". Check that it is a file the program's user may read.");
    }
    std::string text(kMostASettingsFileHolds + 1, '\0');
    try {
        text.resize(file.readAt(0, text.data(), text.size()));
    } catch (const data::ETableError&) {
        throw EBookError("The settings file " + settingsFile.string() + " could not be read to its end.");
    }
    if (text.size() > kMostASettingsFileHolds) {
        throw EBookError("The settings file " + settingsFile.string() + " is larger than a settings file can be (" +
                         std::to_string(kMostASettingsFileHolds / 1024) +
                         " KiB). Check that it is the right file, or remove it.");
    }
    return text;
}

} // namespace

std::optional<std::string> configuredBookAddress(const fs::path& settingsFile) {
    const std::optional<std::string> text = settingsText(settingsFile);
    if (!text) {
        return std::nullopt;
    }
    std::istringstream in(*text);
    std::optional<std::string> address;
    bool inCustomers = false;
    std::string raw;
    for (int number = 1; std::getline(in, raw); ++number) {
        std::string_view line = trimmed(raw);
        if (number == 1 && line.substr(0, 3) == "\xEF\xBB\xBF") {
            line = trimmed(line.substr(3)); // a byte-order mark an editor put there
        }
        if (line.empty() || line.front() == ';' || line.front() == '#') {
            continue;
        }
        if (line.front() == '[') {
            if (line.back() != ']') {
                malformed(settingsFile, number, "a section name must end with \"]\".");
            }
            inCustomers = lower(trimmed(line.substr(1, line.size() - 2))) == "customers";
            continue;
        }
        const auto eq = line.find('=');
        if (eq == std::string_view::npos) {
            malformed(settingsFile, number, "expected a line of the form key=value.");
        }
        if (!inCustomers) {
            continue;
        }
        const std::string key = lower(trimmed(line.substr(0, eq)));
        const std::string value(trimmed(line.substr(eq + 1)));
        if (key != "book") {
            malformed(settingsFile, number,
                      R"(the section [customers] knows only the key "book", not ")" + key + "\".");
        }
        if (address) {
            malformed(settingsFile, number, "the customer book is named twice.");
        }
        if (!isServerAddress(value)) {
            malformed(settingsFile, number,
                      "the book must be a postgresql:// address (for example "
                      "postgresql://arrowsel@dbhost:5432/shop?sslmode=require), not \"" +
                          maskedAddress(value) + "\".");
        }
        refusePassword(value, settingsFile.string() + ", line " + std::to_string(number));
        if (const auto problem = addressProblem(value)) {
            malformed(settingsFile, number, "the book's address cannot be read: " + *problem + ".");
        }
        address = value;
    }
    return address;
}

} // namespace arrowsel::records
