// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/book_address.h"
#include "records/customer_book.h"

namespace arrowsel::records {

// Builds without the database client library keep the files only.
std::unique_ptr<CustomerBook> openServerBook(std::string_view /*address*/) {
    throw EBookError("This build of the program cannot open a customer book on a database server. Use the data "
                     "folder's files, or a build with database support.");
}

std::string serverBookWhere(std::string_view address) {
    return "the database server at " + maskedAddress(address);
}

// Without libpq nothing reads an address; what looks like a password in it is still refused.
bool addressHoldsPassword(std::string_view address) {
    return maskedAddress(address) != address;
}

std::optional<std::string> addressProblem(std::string_view /*address*/) {
    return std::nullopt;
}

std::string initServerBook(std::string_view /*address*/) {
    throw EBookError("This build of the program cannot set up a customer book on a database server.");
}

} // namespace arrowsel::records
