// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer harness for the data folder's settings file (arrowsel.ini): the input is the file.
// Reading it may only end in an address or EBookError. Each of its lines is also taken as a book
// address: one that libpq reads a password from must come out of the masking changed, since
// messages quote an address only masked.

#include "fuzz/table_fuzz.h"
#include "records/book_address.h"
#include "records/book_settings.h"
#include "records/customer_book.h"

#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

using namespace arrowsel::records;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    const auto file = arrowsel::fuzz::workFolder() / kSettingsFile;
    arrowsel::fuzz::writeBytes(file, data, size);
    try {
        if (const auto address = configuredBookAddress(file); address && addressHoldsPassword(*address)) {
            std::abort(); // a password got through into the settings
        }
    } catch (const EBookError&) {
    }
    std::istringstream lines(input);
    for (std::string line; std::getline(lines, line);) {
        // (A password of asterisks is left as it is: it reads as masked already.)
        if (addressHoldsPassword(line) && maskedAddress(line) == line && line.find("****") == std::string::npos) {
            std::abort();
        }
        (void)addressProblem(line);
    }
    return 0;
}
