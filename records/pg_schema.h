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
//   setup_id     the identity the program gave a record it added (none on rows from before schema
//                2), by which it tells whether a save whose reply was lost arrived;
//   name_key     the name in Windows-1252 bytes padded with blanks to the field's width: ordering
//                by (name_key, seq) is the files' index order byte for byte, so "€" (0x80) sorts
//                before "Š" (0x8A) as there, whatever the database's collation.
// saved_setups_schema holds the schema's version; the program reads it on open and refuses a
// book whose schema is missing or newer than it knows.
inline constexpr int kPgSchemaVersion = 2;

// initServerBook (customer_book.h) creates the table or brings it up to this program's version,
// forward only, under a lock, in one transaction; running it again changes nothing.

// Brings an older book up to this program's schema when the role may; throws EBookError when the
// schema is not one this program can use, saying what to do.
void checkPgSchema(PgConnection& connection);

} // namespace arrowsel::records
