// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/key_expression.h"

#include "data/key_expression_evaluator.h"
#include "data/key_expression_parser.h"
#include "data/table_error.h"
#include "data/value_rules.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace arrowsel::data {

using key_tree::Node;
using key_tree::Op;
using key_tree::Value;
using key_tree::VType;

struct KeyExpression::Impl {
    std::string text;
    std::unique_ptr<key_tree::Node> root;
    KeyType type = KeyType::Character;
    int keyLength = 0;
    CodePage cp = CodePage::Windows1252;
};

KeyExpression::KeyExpression(std::string_view text, std::span<const FieldDef> fields, CodePage cp,
                             std::string_view fileName)
    : impl_(std::make_unique<Impl>()) {
    impl_->text = std::string(text);
    impl_->cp = cp;
    impl_->root = parseKeyExpression(text, fields, cp, fileName);
    switch (impl_->root->type) {
    case VType::Char:
        impl_->type = KeyType::Character;
        impl_->keyLength = impl_->root->width;
        if (impl_->keyLength < 1 || impl_->keyLength > 100) {
            refuseKeyExpression(text, fileName,
                                "the key length " + std::to_string(impl_->keyLength) + " is outside 1 to 100");
        }
        break;
    case VType::Num:
        impl_->type = KeyType::Numeric;
        impl_->keyLength = 8;
        break;
    case VType::Date:
        impl_->type = KeyType::Date;
        impl_->keyLength = 8;
        break;
    }
}

KeyExpression::~KeyExpression() = default;
KeyExpression::KeyExpression(KeyExpression&&) noexcept = default;
KeyExpression& KeyExpression::operator=(KeyExpression&&) noexcept = default;

const std::string& KeyExpression::text() const {
    return impl_->text;
}

KeyType KeyExpression::type() const {
    return impl_->type;
}

int KeyExpression::keyLength() const {
    return impl_->keyLength;
}

void KeyExpression::setKeyLength(int length) {
    if (impl_->type != KeyType::Character || length < 1 || length > 100) {
        throw ETableError("The key length " + std::to_string(length) + " does not suit the key expression \"" +
                          impl_->text + "\".");
    }
    impl_->keyLength = length;
}

void KeyExpression::evaluateTo(std::string_view record, char* out) const {
    const Node& root = *impl_->root;
    const auto len = static_cast<std::size_t>(impl_->keyLength);
    if (root.op == Op::FieldChar) {
        const auto off = static_cast<std::size_t>(root.offset);
        const std::size_t w = std::min(len, static_cast<std::size_t>(root.fieldWidth));
        std::size_t have = 0;
        if (off < record.size()) {
            have = std::min(w, record.size() - off);
            std::memcpy(out, record.data() + off, have);
        }
        std::memset(out + have, ' ', len - have);
        return;
    }
    Value v;
    KeyExpressionEvaluator(impl_->cp).evaluate(root, record, v);
    if (impl_->type == KeyType::Character) {
        const std::size_t have = std::min(len, v.text.size());
        std::copy_n(v.text.data(), have, out); // a fixed-width key: no terminator
        std::memset(out + have, ' ', len - have);
    } else {
        const std::string enc = encodeNumber(v.number);
        std::memcpy(out, enc.data(), 8);
    }
}

std::string KeyExpression::evaluate(std::string_view record) const {
    std::string key(static_cast<std::size_t>(impl_->keyLength), ' ');
    evaluateTo(record, key.data());
    return key;
}

std::string KeyExpression::encodeNumber(double value) {
    if (value == 0 || std::isnan(value)) {
        value = 0; // also turns -0 into +0
    }
    auto bits = std::bit_cast<std::uint64_t>(value);
    if (bits & (std::uint64_t{1} << 63)) {
        bits = ~bits;
    } else {
        bits |= std::uint64_t{1} << 63;
    }
    std::string out(8, '\0');
    for (int i = 0; i < 8; ++i) {
        out[static_cast<std::size_t>(i)] = static_cast<char>((bits >> (56 - 8 * i)) & 0xFF);
    }
    return out;
}

std::string KeyExpression::encodeDate(int year, int month, int day) {
    if (!value_rules::validDate(year, month, day)) {
        return encodeNumber(0);
    }
    return encodeNumber(static_cast<double>(value_rules::julianDay({year, month, day})));
}

} // namespace arrowsel::data
