// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>

// The address of a shared customer book: a postgresql:// address (or a keyword line, as libpq
// takes them) that may hold no password, since the settings file lies where the whole shop can
// read it and addresses end up in messages, logs and shells' histories. The password belongs in
// each user's ~/.pgpass or in a service file.
namespace arrowsel::records {

// True when `address` gives a password, as libpq reads it: in the user part of a URI, as a
// query parameter (its name %-encoded or not), as a keyword of a keyword line, or inside a
// connection string given as the database name. An address libpq cannot read counts as holding
// one when it has the shape of one there, so that it is refused rather than quoted.
bool addressHoldsPassword(std::string_view address);

// Why libpq cannot read `address` (no password shown); nothing when it can.
std::optional<std::string> addressProblem(std::string_view address);

// `address` with every password it gives replaced by "****", for messages, and whatever follows a
// NUL byte hidden too; the rest as written.
std::string maskedAddress(std::string_view address);

// Throws EBookError when `address` holds a password; `source` names where it came from (the
// settings file and its line, or the command line), for the message.
void refusePassword(std::string_view address, std::string_view source);

} // namespace arrowsel::records
