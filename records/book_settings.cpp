// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/book_settings.h"

#include "data/new_file.h"
#include "data/table_error.h"
#include "records/book_address.h"
#include "records/customer_book.h"

#include <algorithm>
#include <cctype>
#include <sstream>
#include <system_error>

namespace arrowsel::records {

namespace fs = std::filesystem;

namespace {

constexpr std::uint64_t kMaxSettingsBytes = std::uint64_t{64} << 10;

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

// The settings file's text; nothing when there is none. The data folder may be shared: a pipe or
// a device of that name is not waited on, nor a huge file read (a settings file holds a few lines).
std::optional<std::string> settingsText(const fs::path& settingsFile) {
    std::error_code ec;
    if (!fs::exists(settingsFile, ec)) {
        if (ec) {
            throw EBookError("The settings file " + settingsFile.string() + " cannot be read: " + ec.message() + ".");
        }
        return std::nullopt;
    }
    try {
        return data::readBoundedFile(settingsFile, kMaxSettingsBytes);
    } catch (const data::ETableError& e) {
        throw EBookError(std::string(e.what()) + " Check that the program's user may read the settings file.");
    }
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
