// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace arrowsel::records {

// The wait cursor while a book is asked something that may take a moment (a server on the
// network), put back however the call ends.
class BusyCursor {
public:
    BusyCursor();
    ~BusyCursor();
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
    BusyCursor(BusyCursor&&) = delete;
    BusyCursor& operator=(BusyCursor&&) = delete;
};

} // namespace arrowsel::records
