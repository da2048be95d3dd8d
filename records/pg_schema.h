// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace arrowsel::records {

class PgConnection;

// The customer book on a PostgreSQL server: one table, saved_setups, with the fields of
// "Saveddb.dbf" (savedSetupFields) under the same names (lower case) and the same limits, checked by the server too:
// character fields at most their width in Windows-1252 bytes and only characters that code page
// holds, numbers within what their width and decimals can show, dates as dates, the comments memo
// as text. Beside them:
//   seq          the order records were added in (ties between equal names, the export's order);
//   row_version  raised by every update, so a counter can tell that another changed the record;
//   name_key     the name in Windows-1252 bytes padded with blanks to the field's width: ordering
//                by (name_key, seq) is the files' index order byte for byte, so "€" (0x80) sorts
//                before "Š" (0x8A) as there, whatever the database's collation.
// saved_setups_schema holds the schema's version; the program reads it on open and refuses a
// book whose schema is missing or newer than it knows.
inline constexpr int kPgSchemaVersion = 1;

// initServerBook (customer_book.h) creates the table or brings it up to this program's version,
// forward only, under a lock, in one transaction; running it again changes nothing.

// Throws EBookError when the book's schema is not the one this program knows, saying what to do.
void checkPgSchema(PgConnection& connection);

} // namespace arrowsel::records
