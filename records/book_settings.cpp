// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/book_settings.h"

#include "data/new_file.h"
#include "data/table_error.h"
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

} // namespace

void refusePassword(std::string_view address, std::string_view source) {
    const std::string text = lower(address);
    const auto scheme = text.find("://");
    bool hasPassword = false;
    if (scheme != std::string::npos) {
        const auto authorityEnd = text.find_first_of("/?", scheme + 3);
        const std::string authority = text.substr(scheme + 3, authorityEnd - (scheme + 3));
        const auto at = authority.rfind('@');
        hasPassword = at != std::string::npos && authority.substr(0, at).find(':') != std::string::npos;
    }
    if (const auto query = text.find('?'); query != std::string::npos) {
        std::string_view params(text);
        params.remove_prefix(query + 1);
        while (!params.empty() && !hasPassword) {
            const auto amp = params.find('&');
            const std::string_view param = params.substr(0, amp);
            hasPassword = param.substr(0, param.find('=')) == "password";
            params.remove_prefix(amp == std::string_view::npos ? params.size() : amp + 1);
        }
    }
    if (hasPassword) {
        throw EBookError(std::string(source) +
                         ": the book's address holds a password. Passwords are not kept there; remove it and put "
                         "it in the ~/.pgpass file of each user who runs the program, or in a service file "
                         "(~/.pg_service.conf).");
    }
}

std::optional<std::string> configuredBookAddress(const fs::path& settingsFile) {
    std::error_code ec;
    if (!fs::exists(settingsFile, ec)) {
        if (ec) {
            throw EBookError("The settings file " + settingsFile.string() + " cannot be read: " + ec.message() + ".");
        }
        return std::nullopt;
    }
    // The data folder may be shared: a pipe or a device of that name is not waited on, nor a
    // huge file read (a settings file holds a few lines).
    std::string text;
    try {
        text = data::readBoundedFile(settingsFile, kMaxSettingsBytes);
    } catch (const data::ETableError& e) {
        throw EBookError(std::string(e.what()) + " Check that the program's user may read the settings file.");
    }
    std::optional<std::string> address;
    bool inCustomers = false;
    std::istringstream in(text);
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
                          value + "\".");
        }
        refusePassword(value, settingsFile.string() + ", line " + std::to_string(number));
        address = value;
    }
    return address;
}

} // namespace arrowsel::records
