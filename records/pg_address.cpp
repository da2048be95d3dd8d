// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/pg_address.h"

#include "records/book_address.h"
#include "records/customer_book.h"

#include <libpq-fe.h>
#include <memory>

namespace arrowsel::records {
namespace {

struct Parsed {
    std::unique_ptr<PQconninfoOption, decltype(&PQconninfoFree)> options{nullptr, &PQconninfoFree};
    std::string error;
};

Parsed parse(std::string_view address) {
    Parsed p;
    char* err = nullptr;
    p.options.reset(PQconninfoParse(std::string(address).c_str(), &err));
    if (err != nullptr) {
        p.error = err;
        PQfreemem(err);
    }
    while (!p.error.empty() && (p.error.back() == '\n' || p.error.back() == '.')) {
        p.error.pop_back();
    }
    return p;
}

// libpq's own test for a database name that is a connection string.
bool connectionString(std::string_view s) {
    return s.starts_with("postgresql://") || s.starts_with("postgres://") || s.find('=') != std::string_view::npos;
}

} // namespace

bool addressHoldsPassword(std::string_view address) {
    const Parsed p = parse(address);
    if (!p.options) {
        return maskedAddress(address) != address;
    }
    std::string dbname;
    for (const PQconninfoOption* o = p.options.get(); o->keyword != nullptr; ++o) {
        if (o->val == nullptr) {
            continue;
        }
        const std::string_view keyword = o->keyword;
        if (keyword == "password") {
            return true;
        }
        if (keyword == "dbname") {
            dbname = o->val;
        }
    }
    return connectionString(dbname) && dbname.size() < address.size() && addressHoldsPassword(dbname);
}

std::optional<std::string> addressProblem(std::string_view address) {
    if (address.find('\0') != std::string_view::npos) {
        // libpq would quietly read only the part before it, and reach some other book.
        return std::string("it holds a NUL character");
    }
    const Parsed p = parse(address);
    if (p.options) {
        return std::nullopt;
    }
    // libpq quotes the part it stumbled on, which may be a password.
    if (maskedAddress(address) != address) {
        return std::string("libpq cannot read it");
    }
    return p.error.empty() ? std::string("libpq cannot read it") : p.error;
}

std::string usableAddress(std::string_view address) {
    refusePassword(address, "The customer book");
    if (const auto problem = addressProblem(address)) {
        // libpq's reason quotes the address.
        throw EBookError("The customer book's address is not a PostgreSQL address libpq can read: " + *problem +
                         ". Correct it in the data folder's arrowsel.ini or on the command line.");
    }
    return std::string(address);
}

std::string addressOption(std::string_view address, std::string_view keyword) {
    const Parsed p = parse(address);
    for (const PQconninfoOption* o = p.options.get(); o != nullptr && o->keyword != nullptr; ++o) {
        if (o->val != nullptr && o->keyword == keyword) {
            return o->val;
        }
    }
    return {};
}

std::string connectionWhere(const pg_conn* conn) {
    auto* c = const_cast<pg_conn*>(conn); // libpq's getters take a non-const connection
    const char* host = PQhost(c);
    const char* port = PQport(c);
    const char* db = PQdb(c);
    if (host == nullptr || *host == '\0' || db == nullptr || *db == '\0') {
        return {};
    }
    std::string where = "the PostgreSQL server " + std::string(host);
    if (port != nullptr && *port != '\0') {
        where += ":" + std::string(port);
    }
    return where + ", database " + db;
}

} // namespace arrowsel::records
