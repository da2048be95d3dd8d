// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/server_text.h"

#include <array>

namespace arrowsel::records {

std::optional<std::string> textTheServerCannotHold(std::string_view utf8) {
    if (utf8.find('\0') != std::string_view::npos) {
        return std::string("a NUL character");
    }
    // The undefined bytes come out of the files as the C1 controls of the same number.
    static constexpr std::array<unsigned char, 5> kUndefined = {0x81, 0x8D, 0x8F, 0x90, 0x9D};
    for (std::size_t i = 0; i + 1 < utf8.size(); ++i) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        const auto next = static_cast<unsigned char>(utf8[i + 1]);
        for (const unsigned char b : kUndefined) {
            if (lead == 0xC2 && next == b) {
                static constexpr char kHex[] = "0123456789ABCDEF";
                return std::string("the byte 0x") + kHex[b >> 4] + kHex[b & 0xF] +
                       ", which Windows-1252 leaves without a character";
            }
        }
    }
    return std::nullopt;
}

} // namespace arrowsel::records
