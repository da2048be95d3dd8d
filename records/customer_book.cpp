// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/customer_book.h"

#include "records/book_settings.h"
#include "records/file_book.h"

#include <algorithm>
#include <cctype>

namespace arrowsel::records {

std::string CustomerBook::fieldText(std::string_view field) const {
    const SavedRecord& record = current();
    for (const FieldValue& f : record.fields) {
        if (sameFieldName(f.name, field)) {
            return f.text;
        }
    }
    if (std::none_of(fields().begin(), fields().end(),
                     [field](const SetupField& f) { return sameFieldName(f.name, field); })) {
        throw EBookError("The field \"" + std::string(field) + "\" is not in " + where() + ".");
    }
    return {}; // at the end
}

std::vector<BookRecord> CustomerBook::allRecords() {
    std::vector<BookRecord> records;
    for (first(); !eof(); next()) {
        records.push_back(current().fields);
    }
    return records;
}

void CustomerBook::appendAll(const std::vector<BookRecord>& records, bool replace) {
    if (replace && count() != 0) {
        throw EBookError("The records held in " + where() +
                         " cannot be replaced by this program. Remove them with the book's own tools first.");
    }
    for (const BookRecord& r : records) {
        append(r);
    }
}

void CustomerBook::rebuildIndex() {
    throw EBookError(where() + " keeps its own name order; there is no index to rebuild.");
}

bool isServerAddress(std::string_view address) {
    const auto startsWith = [address](std::string_view scheme) {
        return address.size() >= scheme.size() &&
               std::equal(scheme.begin(), scheme.end(), address.begin(),
                          [](char a, char b) { return a == std::tolower(static_cast<unsigned char>(b)); });
    };
    return startsWith("postgresql://") || startsWith("postgres://");
}

std::unique_ptr<CustomerBook> openCustomerBook(const std::filesystem::path& dataFolder) {
    if (const auto address = configuredBookAddress(dataFolder / kSettingsFile)) {
        return openServerBook(*address);
    }
    return std::make_unique<FileBook>(dataFolder);
}

std::unique_ptr<CustomerBook> openCustomerBookAt(std::string_view address) {
    if (isServerAddress(address)) {
        return openServerBook(address);
    }
    return std::make_unique<FileBook>(std::filesystem::path(address));
}

} // namespace arrowsel::records
