// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <stdexcept>
#include <string>

namespace arrowsel::data {

// Every failure of the table engine. The message is the text shown to the user: the fixed texts
// ("Table does not exist.\rFile or directory does not exist.\rFile: " + path, "Unable to open
// table.\rFile: " + path, "Index file does not exist.\rFile: " + name, "Record Lock Failure. May be
// locked by another user or task.") or a plain sentence naming the file and what is wrong with it.
class ETableError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// An index whose entry leads to a record that holds another key (the index is older than the
// table): rebuilding the index from the table mends it.
class EIndexStale : public ETableError {
public:
    using ETableError::ETableError;
};

} // namespace arrowsel::data
