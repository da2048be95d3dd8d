// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/key_expression.h"

#include "data/table_error.h"
#include "data/text.h"
#include "data/value_rules.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

namespace arrowsel::data {
namespace {

enum class VType { Char, Num, Date };

// A value while evaluating: text for Char, the number for Num, the Julian day (0 = empty) for Date.
struct Value {
    VType type = VType::Char;
    std::string text;
    double number = 0;
};

enum class Op {
    FieldChar,
    FieldNum,
    FieldInt,
    FieldDate,
    FieldLogical,
    Literal,
    Concat,
    ConcatMinus,
    Add,
    Sub,
    Upper,
    Lower,
    RTrim,
    LTrim,
    AllTrim,
    Substr,
    Left,
    Right,
    Padr,
    Str,
    Dtos,
};

struct Node {
    Op op = Op::Literal;
    VType type = VType::Char;
    int width = 0; // Char only: the most bytes the value can have
    bool constant = true;
    int offset = 0;     // fields: position in the record
    int fieldWidth = 0; // fields: bytes in the record
    Value literal;      // Literal
    int arg1 = 0;       // SUBSTR start, LEFT/RIGHT/PADR count, STR length
    int arg2 = -1;      // SUBSTR length (-1 = to the end), STR decimals
    std::vector<std::unique_ptr<Node>> kids;
};

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

long long julianDay(int y, int m, int d) {
    const int a = (14 - m) / 12;
    const long long yy = static_cast<long long>(y) + 4800 - a;
    const long long mm = m + 12 * a - 3;
    return d + (153 * mm + 2) / 5 + 365 * yy + yy / 4 - yy / 100 + yy / 400 - 32045;
}

// A DBF date (YYYYMMDD) as its Julian day; blank or invalid gives 0 (empty).
double parseDate(std::string_view s) {
    const std::optional<value_rules::Date> d = value_rules::parseDate(s.substr(0, std::min<std::size_t>(s.size(), 8)));
    return d ? static_cast<double>(julianDay(d->year, d->month, d->day)) : 0.0;
}

std::string dateText(double jd) {
    if (!(jd >= 1721426 && jd <= 5373484)) { // 0001-01-01 .. 9999-12-31; also catches NaN
        return std::string(8, ' ');
    }
    // Inverse of julianDay() (Richards' algorithm).
    const auto j = static_cast<long long>(jd);
    long long f = j + 1401 + (((4 * j + 274277) / 146097) * 3) / 4 - 38;
    long long e = 4 * f + 3;
    long long g = (e % 1461) / 4;
    long long h = 5 * g + 2;
    const long long day = (h % 153) / 5 + 1;
    const long long month = ((h / 153 + 2) % 12) + 1;
    const long long year = e / 1461 - 4716 + (12 + 2 - month) / 12;
    char buf[16];
    auto put = [&](long long v, int digits, int at) {
        for (int i = digits - 1; i >= 0; --i) {
            buf[at + i] = static_cast<char>('0' + v % 10);
            v /= 10;
        }
    };
    put(year, 4, 0);
    put(month, 2, 4);
    put(day, 2, 6);
    return std::string(buf, 8);
}

// FoxPro's STR(): right-aligned in `len`, `dec` decimals, fewer decimals when they do not fit,
// asterisks when the integer part does not fit.
std::string strText(double v, int len, int dec) {
    if (len <= 0) {
        return {};
    }
    if (!std::isfinite(v)) {
        return std::string(static_cast<std::size_t>(len), '*');
    }
    dec = std::clamp(dec, 0, 18);
    for (int d = dec; d >= 0; --d) {
        // Round half away from zero on the decimal value (12.345 is stored as 12.3449999...).
        double r = v;
        const double scale = std::pow(10.0, d);
        if (std::fabs(v * scale) < 4.0e15) {
            r = std::round(v * scale * (1 + 4 * std::numeric_limits<double>::epsilon())) / scale;
        }
        char buf[400];
        auto [ptr, ec] = std::to_chars(buf, buf + sizeof buf, r, std::chars_format::fixed, d);
        if (ec != std::errc()) {
            break;
        }
        std::string s(buf, ptr);
        if (s == "-0" || (s.size() > 1 && s[0] == '-' && s.find_first_not_of("-0.") == std::string::npos)) {
            s.erase(0, 1); // no negative zero
        }
        if (static_cast<int>(s.size()) <= len) {
            return std::string(static_cast<std::size_t>(len) - s.size(), ' ') + s;
        }
    }
    return std::string(static_cast<std::size_t>(len), '*');
}

// ---------------------------------------------------------------------------------------------
// Tokens and parser

enum class Tok { End, Ident, Number, String, LParen, RParen, Comma, Plus, Minus };

struct Token {
    Tok kind = Tok::End;
    std::string text;
    double number = 0;
};

class Parser {
public:
    Parser(std::string_view text, std::span<const FieldDef> fields, CodePage cp, std::string_view fileName)
        : text_(text), fields_(fields), cp_(cp), fileName_(fileName) {}

    std::unique_ptr<Node> parse() {
        next();
        auto node = parseSum();
        if (tok_.kind != Tok::End) {
            fail("unexpected \"" + tok_.text + "\"");
        }
        return node;
    }

    [[noreturn]] void fail(const std::string& why) const {
        std::string msg = "Unsupported key expression \"" + std::string(text_) + "\"";
        if (!fileName_.empty()) {
            msg += " in index file " + std::string(fileName_);
        }
        msg += ": " + why + ".";
        throw ETableError(msg);
    }

    CodePage codePage() const { return cp_; }

private:
    void next() {
        while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t')) {
            ++pos_;
        }
        tok_ = Token{};
        if (pos_ >= text_.size()) {
            return;
        }
        const char c = text_[pos_];
        auto isIdentStart = [](char ch) { return (ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z') || ch == '_'; };
        auto isDigit = [](char ch) { return ch >= '0' && ch <= '9'; };
        if (isIdentStart(c)) {
            std::size_t start = pos_;
            while (pos_ < text_.size() && (isIdentStart(text_[pos_]) || isDigit(text_[pos_]))) {
                ++pos_;
            }
            tok_.kind = Tok::Ident;
            tok_.text = std::string(text_.substr(start, pos_ - start));
            for (char& ch : tok_.text) {
                if (ch >= 'a' && ch <= 'z') {
                    ch = static_cast<char>(ch - 'a' + 'A');
                }
            }
            return;
        }
        if (isDigit(c) || (c == '.' && pos_ + 1 < text_.size() && isDigit(text_[pos_ + 1]))) {
            std::size_t start = pos_;
            while (pos_ < text_.size() && (isDigit(text_[pos_]) || text_[pos_] == '.')) {
                ++pos_;
            }
            tok_.kind = Tok::Number;
            tok_.text = std::string(text_.substr(start, pos_ - start));
            auto [ptr, ec] = std::from_chars(tok_.text.data(), tok_.text.data() + tok_.text.size(), tok_.number);
            if (ec != std::errc() || ptr != tok_.text.data() + tok_.text.size()) {
                fail("malformed number " + tok_.text);
            }
            return;
        }
        if (c == '\'' || c == '"') {
            std::size_t end = text_.find(c, pos_ + 1);
            if (end == std::string_view::npos) {
                fail("unterminated string");
            }
            tok_.kind = Tok::String;
            tok_.text = std::string(text_.substr(pos_ + 1, end - pos_ - 1));
            pos_ = end + 1;
            return;
        }
        ++pos_;
        tok_.text = std::string(1, c);
        switch (c) {
        case '(':
            tok_.kind = Tok::LParen;
            return;
        case ')':
            tok_.kind = Tok::RParen;
            return;
        case ',':
            tok_.kind = Tok::Comma;
            return;
        case '+':
            tok_.kind = Tok::Plus;
            return;
        case '-':
            tok_.kind = Tok::Minus;
            return;
        default:
            fail("unexpected \"" + tok_.text + "\"");
        }
    }

    void expect(Tok kind, const char* what) {
        if (tok_.kind != kind) {
            fail(std::string("expected ") + what);
        }
        next();
    }

    std::unique_ptr<Node> parseSum() {
        auto left = parsePrimary();
        while (tok_.kind == Tok::Plus || tok_.kind == Tok::Minus) {
            const bool minus = tok_.kind == Tok::Minus;
            next();
            auto right = parsePrimary();
            left = combine(std::move(left), std::move(right), minus);
        }
        return left;
    }

    std::unique_ptr<Node> combine(std::unique_ptr<Node> l, std::unique_ptr<Node> r, bool minus) {
        auto n = std::make_unique<Node>();
        n->constant = l->constant && r->constant;
        if (l->type == VType::Char && r->type == VType::Char) {
            n->op = minus ? Op::ConcatMinus : Op::Concat;
            n->type = VType::Char;
            n->width = l->width + r->width;
        } else if (l->type == VType::Num && r->type == VType::Num) {
            n->op = minus ? Op::Sub : Op::Add;
            n->type = VType::Num;
        } else if (l->type == VType::Date && r->type == VType::Num) {
            n->op = minus ? Op::Sub : Op::Add;
            n->type = VType::Date;
        } else if (l->type == VType::Num && r->type == VType::Date && !minus) {
            n->op = Op::Add;
            n->type = VType::Date;
        } else if (l->type == VType::Date && r->type == VType::Date && minus) {
            n->op = Op::Sub;
            n->type = VType::Num;
        } else {
            fail(std::string("operator ") + (minus ? "\"-\"" : "\"+\"") + " on values of different types");
        }
        n->kids.push_back(std::move(l));
        n->kids.push_back(std::move(r));
        return n;
    }

    std::unique_ptr<Node> parsePrimary() {
        if (tok_.kind == Tok::LParen) {
            next();
            auto n = parseSum();
            expect(Tok::RParen, "\")\"");
            return n;
        }
        if (tok_.kind == Tok::Number) {
            auto n = std::make_unique<Node>();
            n->op = Op::Literal;
            n->type = VType::Num;
            n->literal.type = VType::Num;
            n->literal.number = tok_.number;
            next();
            return n;
        }
        if (tok_.kind == Tok::String) {
            auto n = std::make_unique<Node>();
            n->op = Op::Literal;
            n->type = VType::Char;
            n->literal.type = VType::Char;
            n->literal.text = tok_.text;
            n->width = static_cast<int>(tok_.text.size());
            next();
            return n;
        }
        if (tok_.kind == Tok::Minus) { // unary minus on a number: 0 - x
            next();
            auto zero = std::make_unique<Node>();
            zero->type = VType::Num;
            zero->literal.type = VType::Num;
            auto operand = parsePrimary();
            if (operand->type != VType::Num) {
                fail("unary \"-\" on a value that is not a number");
            }
            return combine(std::move(zero), std::move(operand), true);
        }
        if (tok_.kind != Tok::Ident) {
            fail(tok_.kind == Tok::End ? std::string("unexpected end") : "unexpected \"" + tok_.text + "\"");
        }
        std::string name = tok_.text;
        next();
        if (tok_.kind == Tok::LParen) {
            next();
            std::vector<std::unique_ptr<Node>> args;
            if (tok_.kind != Tok::RParen) {
                args.push_back(parseSum());
                while (tok_.kind == Tok::Comma) {
                    next();
                    args.push_back(parseSum());
                }
            }
            expect(Tok::RParen, "\")\"");
            return makeCall(name, std::move(args));
        }
        return makeField(name);
    }

    std::unique_ptr<Node> makeField(const std::string& name) {
        for (const FieldDef& f : fields_) {
            if (f.name.size() != name.size()) {
                continue;
            }
            bool same = true;
            for (std::size_t i = 0; i < name.size() && same; ++i) {
                char a = f.name[i];
                if (a >= 'a' && a <= 'z') {
                    a = static_cast<char>(a - 'a' + 'A');
                }
                same = a == name[i];
            }
            if (!same) {
                continue;
            }
            auto n = std::make_unique<Node>();
            n->constant = false;
            n->offset = f.offset;
            n->fieldWidth = f.width;
            if (f.offset < 0 || f.width < 0) {
                fail("field " + name + " has an invalid position");
            }
            switch (f.type) {
            case FieldType::Character:
                n->op = Op::FieldChar;
                n->type = VType::Char;
                n->width = f.width;
                break;
            case FieldType::Numeric:
            case FieldType::Float:
                n->op = Op::FieldNum;
                n->type = VType::Num;
                break;
            case FieldType::Integer:
                n->op = Op::FieldInt;
                n->type = VType::Num;
                break;
            case FieldType::Date:
                n->op = Op::FieldDate;
                n->type = VType::Date;
                break;
            case FieldType::Logical:
                n->op = Op::FieldLogical;
                n->type = VType::Char;
                n->width = 1;
                break;
            default:
                fail("field " + name + " of type " + std::string(1, static_cast<char>(f.type)) +
                     " cannot be part of a key");
            }
            return n;
        }
        fail("unknown field " + name);
    }

    // FoxPro accepts a function name cut down to four letters or more.
    static bool nameIs(const std::string& given, const char* full) {
        const std::size_t len = std::strlen(full);
        if (given.size() == len) {
            return given == full;
        }
        return given.size() >= 4 && given.size() < len && std::string_view(full).substr(0, given.size()) == given;
    }

    int constantInt(const Node& n, const std::string& fn, const char* what) const {
        if (n.type != VType::Num || !n.constant) {
            fail(fn + "() needs a constant number as its " + what);
        }
        Value v;
        evalNode(n, std::string_view(), v, cp_);
        if (!(v.number > -1e6 && v.number < 1e6)) {
            fail(fn + "() has an out-of-range " + what);
        }
        return static_cast<int>(std::floor(v.number));
    }

public:
    static void evalNode(const Node& n, std::string_view record, Value& out, CodePage cp);

private:
    using Args = std::vector<std::unique_ptr<Node>>;

    void needArgs(const std::string& name, const Args& args, std::size_t lo, std::size_t hi) const {
        if (args.size() < lo || args.size() > hi) {
            fail(name + "() has the wrong number of arguments");
        }
    }

    void needChar(const std::string& name, const Node& a) const {
        if (a.type != VType::Char) {
            fail(name + "() needs a character argument");
        }
    }

    // UPPER, LOWER and the trims: as wide as their argument. False when `name` is none of them.
    bool makeCaseOrTrim(Node& n, const std::string& name, const Args& args) const {
        if (nameIs(name, "UPPER") || nameIs(name, "LOWER")) {
            needArgs(name, args, 1, 1);
            n.op = name.starts_with("UPPE") ? Op::Upper : Op::Lower;
        } else if (nameIs(name, "TRIM") || nameIs(name, "RTRIM") || nameIs(name, "LTRIM") || nameIs(name, "ALLTRIM")) {
            needArgs(name, args, 1, 1);
            n.op = name.starts_with("LTRI") ? Op::LTrim : name.starts_with("ALLT") ? Op::AllTrim : Op::RTrim;
        } else {
            return false;
        }
        needChar(name, *args[0]);
        n.width = args[0]->width;
        return true;
    }

    // SUBSTR, LEFT, RIGHT and PADR: their counts must be constants, which fix the key's width.
    bool makeCut(Node& n, const std::string& name, const Args& args) const {
        if (nameIs(name, "SUBSTR")) {
            needArgs(name, args, 2, 3);
            needChar(name, *args[0]);
            n.op = Op::Substr;
            n.arg1 = constantInt(*args[1], "SUBSTR", "start");
            if (n.arg1 < 1) {
                fail("SUBSTR() start must be 1 or more");
            }
            n.width = std::max(0, args[0]->width - n.arg1 + 1);
            if (args.size() == 3) {
                n.arg2 = std::max(0, constantInt(*args[2], "SUBSTR", "length"));
                n.width = std::min(n.width, n.arg2);
            }
        } else if (nameIs(name, "LEFT") || nameIs(name, "RIGHT")) {
            needArgs(name, args, 2, 2);
            needChar(name, *args[0]);
            n.op = name.starts_with("LEFT") ? Op::Left : Op::Right;
            n.arg1 = std::max(0, constantInt(*args[1], name, "length"));
            n.width = std::min(n.arg1, args[0]->width);
        } else if (nameIs(name, "PADR")) {
            needArgs(name, args, 2, 2);
            needChar(name, *args[0]);
            n.op = Op::Padr;
            n.arg1 = std::max(0, constantInt(*args[1], "PADR", "length"));
            n.width = n.arg1;
        } else {
            return false;
        }
        return true;
    }

    // STR and DTOS: a number or a date as text.
    bool makeConversion(Node& n, const std::string& name, const Args& args) const {
        if (nameIs(name, "STR")) {
            needArgs(name, args, 1, 3);
            if (args[0]->type != VType::Num) {
                fail("STR() needs a numeric argument");
            }
            n.op = Op::Str;
            n.arg1 = args.size() >= 2 ? std::max(0, constantInt(*args[1], "STR", "length")) : 10;
            n.arg2 = args.size() >= 3 ? std::max(0, constantInt(*args[2], "STR", "decimals")) : 0;
            n.width = n.arg1;
        } else if (nameIs(name, "DTOS")) {
            needArgs(name, args, 1, 1);
            if (args[0]->type != VType::Date) {
                fail("DTOS() needs a date argument");
            }
            n.op = Op::Dtos;
            n.width = 8;
        } else {
            return false;
        }
        return true;
    }

    std::unique_ptr<Node> makeCall(const std::string& name, Args args) {
        auto n = std::make_unique<Node>();
        if (!makeCaseOrTrim(*n, name, args) && !makeCut(*n, name, args) && !makeConversion(*n, name, args)) {
            fail("unsupported function " + name + "()");
        }
        n->type = VType::Char; // every function gives text
        // The counts and lengths are taken; only the text, number or date argument is evaluated.
        if (n->op == Op::Substr || n->op == Op::Left || n->op == Op::Right || n->op == Op::Padr || n->op == Op::Str) {
            args.resize(1);
        }
        n->constant = true;
        for (const auto& a : args) {
            n->constant = n->constant && a->constant;
        }
        n->kids = std::move(args);
        return n;
    }

    std::string_view text_;
    std::span<const FieldDef> fields_;
    CodePage cp_;
    std::string_view fileName_;
    std::size_t pos_ = 0;
    Token tok_;
};

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

void evalConcat(const Node& n, std::string_view record, Value& out, CodePage cp) {
    Value r;
    Parser::evalNode(*n.kids[0], record, out, cp);
    Parser::evalNode(*n.kids[1], record, r, cp);
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

void evalArithmetic(const Node& n, std::string_view record, Value& out, CodePage cp) {
    Value l;
    Value r;
    Parser::evalNode(*n.kids[0], record, l, cp);
    Parser::evalNode(*n.kids[1], record, r, cp);
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
void evalTextFunction(const Node& n, std::string_view record, Value& out, CodePage cp) {
    Parser::evalNode(*n.kids[0], record, out, cp);
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

void evalConversion(const Node& n, std::string_view record, Value& out, CodePage cp) {
    Value v;
    Parser::evalNode(*n.kids[0], record, v, cp);
    out.type = VType::Char;
    out.text = n.op == Op::Str ? strText(v.number, n.arg1, n.arg2) : dateText(v.number);
}

void Parser::evalNode(const Node& n, std::string_view record, Value& out, CodePage cp) {
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
        evalConcat(n, record, out, cp);
        return;
    case Op::Add:
    case Op::Sub:
        evalArithmetic(n, record, out, cp);
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
        evalTextFunction(n, record, out, cp);
        return;
    case Op::Str:
    case Op::Dtos:
        evalConversion(n, record, out, cp);
        return;
    }
}

} // namespace

struct KeyExpression::Impl {
    std::string text;
    std::unique_ptr<Node> root;
    KeyType type = KeyType::Character;
    int keyLength = 0;
    CodePage cp = CodePage::Windows1252;
};

KeyExpression::KeyExpression(std::string_view text, std::span<const FieldDef> fields, CodePage cp,
                             std::string_view fileName)
    : impl_(std::make_unique<Impl>()) {
    impl_->text = std::string(text);
    impl_->cp = cp;
    Parser parser(text, fields, cp, fileName);
    impl_->root = parser.parse();
    switch (impl_->root->type) {
    case VType::Char:
        impl_->type = KeyType::Character;
        impl_->keyLength = impl_->root->width;
        if (impl_->keyLength < 1 || impl_->keyLength > 100) {
            parser.fail("the key length " + std::to_string(impl_->keyLength) + " is outside 1 to 100");
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
    Parser::evalNode(root, record, v, impl_->cp);
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
    return encodeNumber(static_cast<double>(julianDay(year, month, day)));
}

} // namespace arrowsel::data
