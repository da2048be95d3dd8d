// SPDX-License-Identifier: GPL-3.0-or-later
// Making a new table: its fields checked against the xBase rules, its header, and its memo file.
#include "data/dbf_header.h"
#include "data/dbf_table_impl.h"
#include "data/memo_file.h"
#include "data/new_file.h"

#include <algorithm>

namespace arrowsel::data {

namespace {

[[noreturn]] void refuseCreate(const std::string& shown, const std::string& what) {
    throw ETableError("Cannot create the table " + shown + ": " + what + ".");
}

// The field's name upper-cased, checked against the xBase rule and the fields before it.
std::string newFieldName(const std::string& given, const std::vector<FieldDef>& before, const std::string& shown) {
    std::string name;
    for (char c : given) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
        name += c;
    }
    const bool nameOk = !name.empty() && name.size() <= 10 && name[0] >= 'A' && name[0] <= 'Z' &&
                        std::all_of(name.begin(), name.end(), [](char c) {
                            return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
                        });
    if (!nameOk) {
        refuseCreate(shown,
                     "\"" + given + "\" is not a field name (1 to 10 letters, digits or _, starting with a letter)");
    }
    for (const FieldDef& other : before) {
        if (other.name == name) {
            refuseCreate(shown, "the field name " + name + " appears twice");
        }
    }
    return name;
}

// Width and decimals of a new field of `s.type`; a width of 0 asks for the type's own.
void setNewFieldWidth(FieldDef& f, const TDbfTable::FieldSpec& s, bool vfp, const std::string& shown) {
    const auto fixedWidth = [&](int w) {
        if (s.width != 0 && s.width != w) {
            refuseCreate(shown, "the field " + f.name + " must be " + std::to_string(w) + " bytes wide");
        }
        f.width = w;
    };
    f.decimals = 0;
    switch (s.type) {
    case FieldType::Character:
        if (s.width < 1 || s.width > 254) {
            refuseCreate(shown, "the character field " + f.name + " must be 1 to 254 characters wide");
        }
        f.width = s.width;
        break;
    case FieldType::Numeric:
    case FieldType::Float:
        if (s.width < 1 || s.width > 20 || s.decimals < 0 || s.decimals > 15 ||
            (s.decimals > 0 && s.decimals > s.width - 2)) {
            refuseCreate(shown, "the number field " + f.name + " must be 1 to 20 wide with room for its decimals");
        }
        f.width = s.width;
        f.decimals = s.decimals;
        break;
    case FieldType::Date:
        fixedWidth(8);
        break;
    case FieldType::Logical:
        fixedWidth(1);
        break;
    case FieldType::Integer:
        fixedWidth(4);
        break;
    case FieldType::Memo:
        if (s.width != 0 && s.width != 10 && s.width != 4) {
            refuseCreate(shown, "the memo field " + f.name + " must be 10 bytes wide (4 in Visual FoxPro tables)");
        }
        f.width = vfp ? 4 : 10;
        break;
    default:
        refuseCreate(shown, "the field " + f.name + " has a type (" + std::string(1, static_cast<char>(s.type)) +
                                ") that new tables cannot have; use C, N, F, D, L, I or M");
    }
}

std::vector<FieldDef> newFieldDefs(const std::vector<TDbfTable::FieldSpec>& specs, bool vfp, const std::string& shown) {
    if (specs.empty()) {
        refuseCreate(shown, "a table needs at least one field");
    }
    if (specs.size() > 255) {
        refuseCreate(shown, "a table has at most 255 fields");
    }
    std::vector<FieldDef> fields;
    std::uint32_t offset = 1;
    for (const TDbfTable::FieldSpec& s : specs) {
        FieldDef f;
        f.name = newFieldName(s.name, fields, shown);
        f.type = s.type;
        setNewFieldWidth(f, s, vfp, shown);
        f.offset = static_cast<int>(offset);
        offset += static_cast<std::uint32_t>(f.width);
        fields.push_back(std::move(f));
    }
    if (offset > 65500) {
        refuseCreate(shown, "its records would be longer than 65500 bytes");
    }
    return fields;
}

} // namespace

void TDbfTable::create(const fs::path& path, const std::vector<FieldSpec>& specs, CodePage cp, bool overwrite,
                       IoProbe* probe) {
    fs::path target = path;
    if (!target.has_extension()) {
        target += ".DBF";
    }
    const std::string shown = target.string();
    bool vfp = false;
    bool hasMemo = false;
    for (const FieldSpec& s : specs) {
        vfp = vfp || s.type == FieldType::Integer;
        hasMemo = hasMemo || s.type == FieldType::Memo;
    }
    const std::vector<FieldDef> fields = newFieldDefs(specs, vfp, shown);
    const std::uint8_t version = vfp ? dbf::kVisualFoxPro : hasMemo ? dbf::kFoxPro2Memo : dbf::kDbase3;

    if (const std::optional<fs::path> existing = findFileNoCase(target)) {
        if (!overwrite) {
            refuseCreate(shown, "it already exists");
        }
        target = *existing;
    }
    std::string bytes = buildDbfHeader(version, fields, cp);
    bytes += '\x1A';
    // Each file is made whole under a temporary name and then named, the memo file first: a kill
    // leaves no table (a memo file without one is replaced by the next create) or the whole new
    // table, never a half-made one that no later save could use.
    if (hasMemo) {
        fs::path memoPath = Impl::memoPathFor(target, ".FPT");
        if (const std::optional<fs::path> existing = findFileNoCase(memoPath)) {
            memoPath = *existing;
        }
        MemoFile::createFpt(memoPath, MemoFile::kDefaultBlockSize, probe);
    }
    NewFile f(target, overwrite ? NewFile::Replace::Always : NewFile::Replace::Never, probe);
    f.write(bytes);
    if (!f.commit()) {
        refuseCreate(shown, "it already exists");
    }
}

} // namespace arrowsel::data
