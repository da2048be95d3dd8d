// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/pg_schema.h"

#include "records/customer_book.h"
#include "records/pg_connection.h"
#include "records/saved_layout.h"

#include <charconv>
#include <cmath>

namespace arrowsel::records {
namespace {

using K = SetupFieldKind;

// The text of a number for the schema's SQL (no user text ever reaches these statements).
std::string number(double v, int decimals) {
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, decimals);
    return {buf, r.ptr};
}

std::string column(const SetupField& f) {
    std::string name;
    for (const char c : f.name) {
        name += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    }
    const std::string q = "\"" + name + "\"";
    // A character the code page lacks makes convert_to fail, so the check refuses it.
    const std::string bytes = "octet_length(convert_to(" + q + ", 'WIN1252'))";
    switch (f.kind) {
    case K::Text:
        return q + " varchar(" + std::to_string(f.width) + ") NOT NULL DEFAULT '' CHECK (" + bytes +
               " <= " + std::to_string(f.width) + ")";
    case K::Comments:
        return q + " text NOT NULL DEFAULT '' CHECK (" + bytes + " >= 0)";
    case K::Date:
        return q + " date CHECK (" + q + " BETWEEN '0001-01-01' AND '9999-12-31')";
    case K::Flag:
        return q + " boolean";
    case K::Number:
        break;
    }
    // What a field of this width shows: digits before the point, the point and the decimals; a
    // minus sign takes one of the digits' places.
    const int whole = f.width - (f.decimals > 0 ? f.decimals + 1 : 0);
    const double step = std::pow(10.0, -f.decimals);
    const double high = std::pow(10.0, whole) - step;
    const double low = whole >= 2 ? -(std::pow(10.0, whole - 1) - step) : 0.0;
    return q + " numeric(" + std::to_string(f.width) + "," + std::to_string(f.decimals) + ") CHECK (" + q +
           " BETWEEN " + number(low, f.decimals) + " AND " + number(high, f.decimals) + ")";
}

int nameWidth() {
    for (const auto& f : savedSetupFields()) {
        if (f.name == "NAME") {
            return f.width;
        }
    }
    return 0;
}

// Version 1: the table, its name order and the version table's first row.
std::vector<std::string> toVersion1() {
    std::string table = "CREATE TABLE saved_setups (seq bigint GENERATED ALWAYS AS IDENTITY PRIMARY KEY, "
                        "row_version bigint NOT NULL DEFAULT 1";
    for (const auto& f : savedSetupFields()) {
        table += ", " + column(f);
    }
    table += ", name_key bytea NOT NULL GENERATED ALWAYS AS (saved_setups_name_key(\"name\")) STORED)";
    return {
        "CREATE FUNCTION saved_setups_name_key(name text) RETURNS bytea LANGUAGE sql IMMUTABLE STRICT "
        "PARALLEL SAFE AS $$ SELECT convert_to(rpad(name, " +
            std::to_string(nameWidth()) + "), 'WIN1252') $$",
        table,
        "CREATE INDEX saved_setups_name_order ON saved_setups (name_key, seq)",
        "COMMENT ON TABLE saved_setups IS 'arrowsel: saved customer setups, in the fields of Saveddb.dbf'",
    };
}

// Version 2: each record the program adds carries an identity the program made, so that after a
// lost reply it can ask whether the record arrived. Rows from before keep none (NULL); adding a
// column without a default rewrites nothing.
std::vector<std::string> toVersion2() {
    return {
        "ALTER TABLE saved_setups ADD COLUMN setup_id uuid",
        "CREATE UNIQUE INDEX saved_setups_setup_id ON saved_setups (setup_id)",
    };
}

// Each step takes the schema from the version before it to its own; a new version adds a step.
std::vector<std::vector<std::string>> steps() {
    return {toVersion1(), toVersion2()};
}

int storedVersion(PgConnection& c) {
    const PgResult r =
        c.exec("SELECT coalesce(max(version), 0) FROM saved_setups_schema", {}, "reading the schema's version", true);
    int v = 0;
    const std::string_view t = r.text(0, 0);
    std::from_chars(t.data(), t.data() + t.size(), v);
    return v;
}

// A version row that outlived its table (dropped by hand, or a restore of only part of a dump):
// the schema is built again from nothing, the name-order function first dropped with it.
bool tableLost(PgConnection& c) {
    const PgResult r = c.exec("SELECT to_regclass('saved_setups') IS NULL", {}, "setting up the customer book");
    if (r.text(0, 0) != "t") {
        return false;
    }
    c.exec("DROP FUNCTION IF EXISTS saved_setups_name_key(text)", {}, "setting up the customer book");
    return true;
}

std::string newerMessage(const std::string& where, int v) {
    return "The customer book on " + where + " has schema version " + std::to_string(v) +
           ", newer than this program knows (" + std::to_string(kPgSchemaVersion) +
           "). Install the newer arrowsel on this computer; the book was left as it is.";
}

// Brings the book to this program's schema in one transaction under a lock. An open (`opening`)
// only upgrades a book that is set up; a lost table is left for init to repair and report.
std::string upgrade(PgConnection& c, bool opening) {
    c.exec("BEGIN", {}, "setting up the customer book");
    // Two owners running init at once: the second waits and then finds the work done.
    c.exec("SELECT pg_advisory_xact_lock($1::bigint)", {std::string("7426518830113")}, "setting up the customer book");
    const PgResult enc = c.exec("SELECT current_setting('server_encoding')", {}, "setting up the customer book");
    const std::string encoding(enc.text(0, 0));
    if (encoding != "UTF8" && encoding != "WIN1252") {
        throw EBookError("The database of the customer book on " + c.where() + " uses the encoding " + encoding +
                         ", which cannot hold every character of Windows-1252. Create the database with "
                         "ENCODING 'UTF8' and run init again.");
    }
    c.exec("CREATE TABLE IF NOT EXISTS saved_setups_schema (version integer NOT NULL)", {},
           "setting up the customer book");
    int from = storedVersion(c);
    if (from > kPgSchemaVersion) {
        throw EBookError(newerMessage(c.where(), from));
    }
    if (opening && from == 0) {
        c.exec("ROLLBACK", {}, "setting up the customer book");
        return {};
    }
    const bool repaired = !opening && from > 0 && tableLost(c);
    if (repaired) {
        from = 0;
    }
    const auto all = steps();
    for (int v = from + 1; v <= kPgSchemaVersion; ++v) {
        for (const std::string& sql : all[static_cast<std::size_t>(v - 1)]) {
            c.exec(sql, {}, "setting up the customer book (schema " + std::to_string(v) + ")");
        }
    }
    if (from == kPgSchemaVersion) {
        c.exec("COMMIT", {}, "setting up the customer book");
        return "The customer book on " + c.where() + " is up to date (schema " + std::to_string(kPgSchemaVersion) +
               "); nothing changed.";
    }
    c.exec("DELETE FROM saved_setups_schema", {}, "setting up the customer book");
    c.exec("INSERT INTO saved_setups_schema (version) VALUES ($1::integer)", {std::to_string(kPgSchemaVersion)},
           "setting up the customer book");
    c.exec("COMMIT", {}, "setting up the customer book");
    if (repaired) {
        return "Repaired the customer book on " + c.where() +
               ": its table saved_setups was missing and has been created again, empty (schema " +
               std::to_string(kPgSchemaVersion) +
               "). Restore its records from the last backup (pg_restore) or copy them in again.";
    }
    if (from == 0) {
        return "Created the customer book on " + c.where() + " (schema " + std::to_string(kPgSchemaVersion) + ").";
    }
    return "Upgraded the customer book on " + c.where() + " from schema " + std::to_string(from) + " to " +
           std::to_string(kPgSchemaVersion) + ".";
}

} // namespace

std::string initServerBook(std::string_view address) {
    PgConnection c(address);
    return upgrade(c, false);
}

void checkPgSchema(PgConnection& c) {
    const std::string setUp = " Ask the database's owner to run: arrowsel-cli customers init --book ADDRESS";
    int v = 0;
    try {
        v = storedVersion(c);
    } catch (const EBookError&) {
        if (c.lastState() != kUndefinedTable) {
            throw;
        }
    }
    if (v == 0) {
        throw EBookError("The customer book on " + c.where() + " has not been set up." + setUp);
    }
    if (v > kPgSchemaVersion) {
        throw EBookError(newerMessage(c.where(), v));
    }
    if (v < kPgSchemaVersion) {
        // The open brings an older book up itself when its role may (the table's owner); a role
        // with only the guide's rights leaves it to the owner's init.
        try {
            upgrade(c, true);
            return;
        } catch (const EBookError&) {
            if (c.lastState() != kInsufficientPrivilege) {
                throw;
            }
            c.exec("ROLLBACK", {}, "setting up the customer book");
        }
        throw EBookError("The customer book on " + c.where() + " has schema version " + std::to_string(v) +
                         ", older than this program needs (" + std::to_string(kPgSchemaVersion) + ")." + setUp);
    }
}

} // namespace arrowsel::records
