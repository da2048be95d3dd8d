// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <string>
#include <vector>

// The compiled form of an index key expression, which the parser builds from the text and the
// evaluator walks for each record. Every node has a type fixed when it is compiled: character
// nodes also carry the most bytes their text can have (which becomes the key length), so that a
// key's length never depends on the record. The counts of SUBSTR, LEFT, RIGHT, PADR and STR are
// constants taken at compile time and kept in the node; only the value they act on is a child.
namespace arrowsel::data::key_tree {

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

} // namespace arrowsel::data::key_tree
