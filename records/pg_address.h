// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

struct pg_conn;

namespace arrowsel::records {

// "the PostgreSQL server HOST:PORT, database NAME" of a connection libpq has set up (connected or
// not): the values it really used, after a service file, the environment and its defaults had
// their say. Empty when libpq got no further than reading the address.
std::string connectionWhere(const pg_conn* conn);

// `address` when a connection may be tried with it; throws EBookError, never quoting a password,
// when it holds one or libpq cannot read it.
std::string usableAddress(std::string_view address);

// The value `address` gives its `keyword` (as libpq reads it), or empty when it gives none.
std::string addressOption(std::string_view address, std::string_view keyword);

} // namespace arrowsel::records
