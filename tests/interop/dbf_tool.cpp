// SPDX-License-Identifier: GPL-3.0-or-later
// A small command-line front end to the table engine, for the interoperability tests.
//
//   dbf_tool dump TABLE [INDEX]   prints the table: a header line, a field line, then one line per
//                                 record in record order (or the index's order): recno, "*" or
//                                 " ", then every field's text, separated by "|"; "\", "|", CR and
//                                 LF inside values are written as \\, \|, \r and \n.
//   dbf_tool write TABLE          creates TABLE from standard input: the first line lists the
//                                 fields as "NAME TYPE WIDTH DECIMALS" separated by ";", an
//                                 optional "codepage 437|850|1252" line follows, then one line per
//                                 record of "|"-separated values, escaped as above.
//   dbf_tool append TABLE         appends the records given on standard input (one line each, as
//                                 for write) to an existing table.
//   dbf_tool export TABLE FILE    copies the table to FILE as text, format 21.
//
// Exit status 0 on success, 1 with the engine's message on standard error otherwise.

#include "data/dbf_table.h"
#include "data/table_error.h"

#include <cstdio>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

using namespace arrowsel::data;

namespace {

std::string escape(const std::string& s) {
    std::string out;
    for (const char c : s) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '|':
            out += "\\|";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\n':
            out += "\\n";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::vector<std::string> splitEscaped(const std::string& line) {
    std::vector<std::string> out(1);
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '\\' && i + 1 < line.size()) {
            const char n = line[++i];
            out.back() += n == 'r' ? '\r' : n == 'n' ? '\n' : n;
        } else if (c == '|') {
            out.emplace_back();
        } else {
            out.back() += c;
        }
    }
    return out;
}

std::vector<std::string> split(const std::string& s, char sep) {
    std::vector<std::string> out;
    std::stringstream in(s);
    std::string part;
    while (std::getline(in, part, sep)) {
        out.push_back(part);
    }
    return out;
}

int dump(const std::string& table, const std::string& index) {
    TDbfTable t;
    t.open(table, TDbfTable::OpenMode::ReadOnly);
    if (!index.empty()) {
        t.openIndexFile(index);
    }
    std::printf("version=0x%02X codepage=%s count=%u\n", t.version(), codePageName(t.codePage()), t.recordCount());
    std::string fields;
    for (const FieldDef& f : t.fields()) {
        fields += (fields.empty() ? "" : ";") + f.name + " " + static_cast<char>(f.type) + " " +
                  std::to_string(f.width) + " " + std::to_string(f.decimals);
    }
    std::printf("%s\n", fields.c_str());
    for (t.first(); !t.eof(); t.next()) {
        std::string line = std::to_string(t.recNo()) + "|" + (t.isDeleted() ? "*" : " ");
        for (const FieldDef& f : t.fields()) {
            line += "|" + escape(t.fieldText(f.name));
        }
        std::printf("%s\n", line.c_str());
    }
    return 0;
}

void appendRecords(TDbfTable& t, const std::vector<std::string>& records) {
    for (const std::string& r : records) {
        const std::vector<std::string> values = splitEscaped(r);
        t.insert();
        for (std::size_t i = 0; i < t.fields().size() && i < values.size(); ++i) {
            t.setFieldText(t.fields()[i].name, values[i]);
        }
        t.post();
    }
}

int append(const std::string& table) {
    std::vector<std::string> records;
    std::string line;
    while (std::getline(std::cin, line)) {
        records.push_back(line);
    }
    TDbfTable t;
    t.open(table);
    appendRecords(t, records);
    return 0;
}

int write(const std::string& table) {
    std::string line;
    if (!std::getline(std::cin, line)) {
        throw ETableError("no field line on standard input");
    }
    std::vector<TDbfTable::FieldSpec> specs;
    for (const std::string& f : split(line, ';')) {
        std::stringstream in(f);
        std::string name;
        std::string type;
        int width = 0;
        int decimals = 0;
        in >> name >> type >> width >> decimals;
        specs.push_back({name, static_cast<FieldType>(type.at(0)), width, decimals});
    }
    std::vector<std::string> records;
    CodePage cp = CodePage::Windows1252;
    while (std::getline(std::cin, line)) {
        if (records.empty() && line.rfind("codepage ", 0) == 0) {
            const std::string name = line.substr(9);
            cp = name == "437" ? CodePage::Dos437 : name == "850" ? CodePage::Dos850 : CodePage::Windows1252;
            continue;
        }
        records.push_back(line);
    }
    TDbfTable::create(table, specs, cp, true);
    TDbfTable t;
    t.open(table, TDbfTable::OpenMode::Exclusive);
    appendRecords(t, records);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    try {
        if (args.size() >= 2 && args[0] == "dump") {
            return dump(args[1], args.size() >= 3 ? args[2] : std::string());
        }
        if (args.size() == 2 && args[0] == "write") {
            return write(args[1]);
        }
        if (args.size() == 2 && args[0] == "append") {
            return append(args[1]);
        }
        if (args.size() == 3 && args[0] == "export") {
            TDbfTable t;
            t.open(args[1], TDbfTable::OpenMode::ReadOnly);
            t.copyToText(args[2], 21);
            return 0;
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "dbf_tool: %s\n", e.what());
        return 1;
    }
    std::fprintf(stderr, "usage: dbf_tool dump TABLE [INDEX] | write TABLE | append TABLE | export TABLE FILE\n");
    return 2;
}
