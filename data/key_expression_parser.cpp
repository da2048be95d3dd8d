// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/key_expression_parser.h"

#include "data/key_expression_evaluator.h"
#include "data/table_error.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <vector>

namespace arrowsel::data {

using key_tree::Node;
using key_tree::Op;
using key_tree::Value;
using key_tree::VType;

namespace {

enum class Tok { End, Ident, Number, String, LParen, RParen, Comma, Plus, Minus };

struct Token {
    Tok kind = Tok::End;
    std::string text;
    double number = 0;
};

class KeyExpressionParser {
public:
    KeyExpressionParser(std::string_view text, std::span<const FieldDef> fields, CodePage cp, std::string_view fileName)
        : text_(text), fields_(fields), cp_(cp), fileName_(fileName) {}

    std::unique_ptr<Node> parse() {
        next();
        auto node = parseSum();
        if (tok_.kind != Tok::End) {
            fail("unexpected \"" + tok_.text + "\"");
        }
        return node;
    }

    [[noreturn]] void fail(const std::string& why) const { refuseKeyExpression(text_, fileName_, why); }

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
        KeyExpressionEvaluator(cp_).evaluate(n, std::string_view(), v);
        if (!(v.number > -1e6 && v.number < 1e6)) {
            fail(fn + "() has an out-of-range " + what);
        }
        return static_cast<int>(std::floor(v.number));
    }

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

} // namespace

std::unique_ptr<Node> parseKeyExpression(std::string_view text, std::span<const FieldDef> fields, CodePage cp,
                                         std::string_view fileName) {
    return KeyExpressionParser(text, fields, cp, fileName).parse();
}

void refuseKeyExpression(std::string_view text, std::string_view fileName, const std::string& why) {
    std::string msg = "Unsupported key expression \"" + std::string(text) + "\"";
    if (!fileName.empty()) {
        msg += " in index file " + std::string(fileName);
    }
    msg += ": " + why + ".";
    throw ETableError(msg);
}

} // namespace arrowsel::data
