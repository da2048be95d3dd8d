// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/setup_field.h"

#include "data/field_codec.h"
#include "data/table_error.h"
#include "records/customer_book.h"
#include "records/file_fields.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace arrowsel::records {

bool sameFieldName(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::toupper(static_cast<unsigned char>(x)) == std::toupper(static_cast<unsigned char>(y));
    });
}

std::string SavedRecord::text(std::string_view field) const {
    for (const FieldValue& f : fields) {
        if (sameFieldName(f.name, field)) {
            return f.text;
        }
    }
    return {};
}

std::string storedText(const SetupField& field, std::string_view typed, data::CodePage cp, const std::string& table) {
    // The files' own field rules decide, so that both books refuse and keep exactly alike.
    try {
        if (field.kind == SetupFieldKind::Comments) {
            std::string bytes;
            std::string bad;
            if (!data::encodeText(cp, typed, bytes, &bad)) {
                throw EBookError("The field " + field.name + " of table " + table + " cannot hold the character \"" +
                                 bad + "\" (code page " + data::codePageName(cp) + ").");
            }
            return std::string(typed);
        }
        const data::FieldDef def{field.name, fileFieldType(field.kind), field.width, field.decimals, 0};
        // Fields are at most 254 bytes wide in the files; a wider one from elsewhere gets its own.
        std::array<char, 256> small{};
        std::string large;
        char* bytes = small.data();
        if (field.width > static_cast<int>(small.size())) {
            large.resize(static_cast<std::size_t>(field.width));
            bytes = large.data();
        }
        data::field_codec::store(def, typed, cp, bytes, table);
        return data::field_codec::text(def, bytes, cp);
    } catch (const data::ETableError& e) {
        throw EBookError(e.what());
    }
}

} // namespace arrowsel::records
