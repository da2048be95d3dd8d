// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/cli/json.h"

namespace arrowsel::cli {

void appendJsonString(std::string& out, std::string_view text) {
    out += '"';
    for (char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        switch (ch) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (c < 0x20 || c == 0x7F) {
                static constexpr char hex[] = "0123456789abcdef";
                out += "\\u00";
                out += hex[c >> 4];
                out += hex[c & 0x0F];
            } else {
                out += ch;
            }
        }
    }
    out += '"';
}

} // namespace arrowsel::cli
