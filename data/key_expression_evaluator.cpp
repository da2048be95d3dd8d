// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/key_expression_evaluator.h"

#include "data/text.h"
#include "data/value_rules.h"

#include <algorithm>
#include <cstdint>

namespace arrowsel::data {

using key_tree::Node;
using key_tree::Op;
using key_tree::Value;
using key_tree::VType;

namespace {

std::string_view fieldBytes(std::string_view record, int offset, int width, std::string& scratch) {
    const auto off = static_cast<std::size_t>(offset);
    const auto w = static_cast<std::size_t>(width);
    if (off + w <= record.size()) {
        return record.substr(off, w);
    }
    scratch.assign(w, ' ');
    if (off < record.size()) {
        scratch.replace(0, record.size() - off, record.substr(off));
    }
    return scratch;
}

// An N or F field's value; a text that is no number (blank, asterisks, junk) is 0, as the table
// reads it.
double parseNumber(std::string_view text) {
    return value_rules::parseNumber(text).value_or(0.0);
}

// A DBF date (YYYYMMDD) as its Julian day; blank or invalid gives 0 (empty).
double parseDate(std::string_view s) {
    const std::optional<value_rules::Date> d = value_rules::parseDate(s.substr(0, std::min<std::size_t>(s.size(), 8)));
    return d ? static_cast<double>(value_rules::julianDay(*d)) : 0.0;
}

// DTOS(): an empty date, or one outside the years 1 to 9999 that arithmetic reached, is blanks.
std::string dateText(double julianDay) {
    const std::optional<value_rules::Date> d = value_rules::dateOfJulianDay(julianDay);
    return d ? value_rules::dateDigits(*d) : std::string(8, ' ');
}

// The steps of evaluating one node, by kind: a field's stored bytes, the operators, and the
// functions that reshape or convert text.

void evalField(const Node& n, std::string_view record, Value& out) {
    std::string scratch;
    const std::string_view b = fieldBytes(record, n.offset, n.fieldWidth, scratch);
    switch (n.op) {
    case Op::FieldNum:
        out.number = parseNumber(b);
        return;
    case Op::FieldInt: {
        std::uint32_t u = 0;
        for (std::size_t i = 0; i < b.size() && i < 4; ++i) {
            u |= static_cast<std::uint32_t>(static_cast<unsigned char>(b[i])) << (8 * i);
        }
        out.number = b.size() >= 4 ? static_cast<double>(static_cast<std::int32_t>(u)) : 0.0;
        return;
    }
    case Op::FieldDate:
        out.number = parseDate(b);
        return;
    case Op::FieldLogical: {
        const char c = b.empty() ? ' ' : b[0];
        out.text.assign(1, (c == 'T' || c == 't' || c == 'Y' || c == 'y') ? 'T' : 'F');
        return;
    }
    default:
        out.text.assign(b);
        return;
    }
}

void evalConcat(const KeyExpressionEvaluator& e, const Node& n, std::string_view record, Value& out) {
    Value r;
    e.evaluate(*n.kids[0], record, out);
    e.evaluate(*n.kids[1], record, r);
    out.type = VType::Char;
    if (n.op == Op::Concat) {
        out.text += r.text;
        return;
    }
    // "a - b" moves a's trailing blanks behind b.
    const std::size_t end = trimTrailingSpaces(out.text).size();
    const std::size_t moved = out.text.size() - end;
    out.text.resize(end);
    out.text += r.text;
    out.text.append(moved, ' ');
}

void evalArithmetic(const KeyExpressionEvaluator& e, const Node& n, std::string_view record, Value& out) {
    Value l;
    Value r;
    e.evaluate(*n.kids[0], record, l);
    e.evaluate(*n.kids[1], record, r);
    const bool lEmptyDate = l.type == VType::Date && l.number == 0;
    const bool rEmptyDate = r.type == VType::Date && r.number == 0;
    const bool datesMet = n.type == VType::Date || (l.type == VType::Date && r.type == VType::Date);
    if (datesMet && (lEmptyDate || rEmptyDate)) {
        out.number = 0; // arithmetic on an empty date stays empty
    } else {
        out.number = n.op == Op::Add ? l.number + r.number : l.number - r.number;
    }
}

// UPPER, LOWER, the trims, SUBSTR, LEFT, RIGHT and PADR: the argument's text, reshaped.
void evalTextFunction(const KeyExpressionEvaluator& e, CodePage cp, const Node& n, std::string_view record,
                      Value& out) {
    e.evaluate(*n.kids[0], record, out);
    out.type = VType::Char;
    std::string& t = out.text;
    const auto count = static_cast<std::size_t>(n.arg1);
    switch (n.op) {
    case Op::Upper:
    case Op::Lower:
        for (char& c : t) {
            const auto b = static_cast<unsigned char>(c);
            c = static_cast<char>(n.op == Op::Upper ? upperByte(cp, b) : lowerByte(cp, b));
        }
        return;
    case Op::RTrim:
    case Op::LTrim:
    case Op::AllTrim:
        if (n.op != Op::LTrim) {
            t.resize(trimTrailingSpaces(t).size());
        }
        if (n.op != Op::RTrim) {
            t.erase(0, t.find_first_not_of(' '));
        }
        return;
    case Op::Substr:
        if (const auto start = static_cast<std::size_t>(n.arg1 - 1); start >= t.size()) {
            t.clear();
        } else {
            t.erase(0, start);
            if (n.arg2 >= 0 && t.size() > static_cast<std::size_t>(n.arg2)) {
                t.resize(static_cast<std::size_t>(n.arg2));
            }
        }
        return;
    case Op::Left:
        t.resize(std::min(t.size(), count));
        return;
    case Op::Right:
        t.erase(0, t.size() - std::min(t.size(), count));
        return;
    default: // Padr
        t.resize(count, ' ');
        return;
    }
}

void evalConversion(const KeyExpressionEvaluator& e, const Node& n, std::string_view record, Value& out) {
    Value v;
    e.evaluate(*n.kids[0], record, v);
    out.type = VType::Char;
    out.text = n.op == Op::Str ? value_rules::strText(v.number, n.arg1, n.arg2) : dateText(v.number);
}

} // namespace

void KeyExpressionEvaluator::evaluate(const Node& n, std::string_view record, Value& out) const {
    out.type = n.type;
    switch (n.op) {
    case Op::FieldChar:
    case Op::FieldNum:
    case Op::FieldInt:
    case Op::FieldDate:
    case Op::FieldLogical:
        evalField(n, record, out);
        return;
    case Op::Literal:
        out.text = n.literal.text;
        out.number = n.literal.number;
        return;
    case Op::Concat:
    case Op::ConcatMinus:
        evalConcat(*this, n, record, out);
        return;
    case Op::Add:
    case Op::Sub:
        evalArithmetic(*this, n, record, out);
        return;
    case Op::Upper:
    case Op::Lower:
    case Op::RTrim:
    case Op::LTrim:
    case Op::AllTrim:
    case Op::Substr:
    case Op::Left:
    case Op::Right:
    case Op::Padr:
        evalTextFunction(*this, cp_, n, record, out);
        return;
    case Op::Str:
    case Op::Dtos:
        evalConversion(*this, n, record, out);
        return;
    }
}

} // namespace arrowsel::data
