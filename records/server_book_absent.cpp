// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/customer_book.h"

namespace arrowsel::records {

// Builds without the database client library keep the files only.
std::unique_ptr<CustomerBook> openServerBook(std::string_view /*address*/) {
    throw EBookError("This build of the program cannot open a customer book on a database server. Use the data "
                     "folder's files, or a build with database support.");
}

std::string initServerBook(std::string_view /*address*/) {
    throw EBookError("This build of the program cannot set up a customer book on a database server.");
}

} // namespace arrowsel::records
