// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/saved_setup.h"

#include "data/text.h"
#include "engine/conversions.h"

namespace arrowsel::records {

namespace {

using Edit = MainWindowState::Edit;
using Group = MainWindowState::Group;
using Page = MainWindowState::Page;

const std::string kInch = "\"";

std::string pick(int code, std::initializer_list<const char*> texts) {
    if (code < 0 || static_cast<std::size_t>(code) >= texts.size()) {
        return {};
    }
    return *(texts.begin() + code);
}

// Codes for display only: anything that is not a whole number shows as no code at all.
std::optional<int> displayCode(const std::string& text) {
    try {
        return engine::toInteger(text);
    } catch (const engine::EConvertError&) {
        return std::nullopt;
    }
}

std::string codeText(const std::optional<int>& code, std::string (*text)(int)) {
    return code ? text(*code) : std::string();
}

bool hasNonBlank(std::string_view text) {
    return text.find_first_not_of(" \t\r\n") != std::string_view::npos;
}

} // namespace

std::vector<FieldValue> encodeSetup(const MainWindowState& main) {
    const auto index = [&main](Group g) { return std::to_string(main.itemIndex(g)); };
    std::vector<FieldValue> values = {
        {"BOWWT", main.editText(Edit::BowWeight)},
        {"ARLEN", main.editText(Edit::ArrowLength)},
        {"PNTWT", main.editText(Edit::PointWeight)},
        {"BOTYP", index(Group::BowType)},
        {"WHTYP", index(Group::WheelType)},
        {"RETYP", index(Group::ReleaseType)},
        {"BOLEN", index(Group::BraceHt)},
        {"ODLEN", index(Group::OverDraw)},
    };
    const std::string tag = main.labelText(MainWindowState::Label::TmpLbl2);
    if (tag == "Hunt") {
        values.push_back({"HORT", "0"});
        values[3].text = index(Group::BowType);
    } else if (tag == "Targ") {
        values.push_back({"HORT", "1"});
        values[3].text = index(Group::TargBowType);
    } else if (tag == "Orvk") {
        values.push_back({"HORT", "2"});
        values[3].text = index(Group::TargBowType);
    }
    return values;
}

std::string chartText(int hort) {
    return pick(hort, {ARROWSEL_TR_NOOP("Summary", "Hunting Shafts"), ARROWSEL_TR_NOOP("Summary", "Target Shafts"),
                       ARROWSEL_TR_NOOP("Summary", "Orvik Shafts")});
}

std::string bowTypeText(int botyp) {
    return pick(botyp, {ARROWSEL_TR_NOOP("Summary", "Compound"), ARROWSEL_TR_NOOP("Summary", "Recurve"),
                        ARROWSEL_TR_NOOP("Summary", "Longbow")});
}

std::string wheelText(int whtyp) {
    return pick(whtyp, {ARROWSEL_TR_NOOP("Summary", "Hard"), ARROWSEL_TR_NOOP("Summary", "Medium"),
                        ARROWSEL_TR_NOOP("Summary", "Soft")});
}

std::string releaseText(int retyp) {
    return pick(retyp, {ARROWSEL_TR_NOOP("Summary", "Mechanical"), ARROWSEL_TR_NOOP("Summary", "Fingers")});
}

std::string braceText(int bolen) {
    return pick(bolen, {ARROWSEL_TR_NOOP("Summary", "Over 6.5\""), ARROWSEL_TR_NOOP("Summary", "Under 6.5\"")});
}

std::string overDrawText(int odlen) {
    if (odlen == 0) {
        return ARROWSEL_TR_NOOP("Summary", "None");
    }
    return odlen >= 1 && odlen <= 5 ? std::to_string(odlen) + kInch : std::string();
}

Summary lookupSummary(const RecordTexts& record) {
    const auto code = [&record](const char* field) { return displayCode(record(field)); };
    Summary s;
    s[0] = std::string(data::trimTrailingSpaces(record("BOWWT"))) + "#";
    s[1] = std::string(data::trimTrailingSpaces(record("ARLEN"))) + kInch;
    s[2] = std::string(data::trimTrailingSpaces(record("PNTWT"))) + "Gr";
    s[3] = codeText(code("BOTYP"), bowTypeText);
    s[4] = codeText(code("WHTYP"), wheelText);
    s[5] = codeText(code("RETYP"), releaseText);
    s[6] = codeText(code("BOLEN"), braceText);
    s[7] = codeText(code("ODLEN"), overDrawText);
    s[8] = codeText(code("HORT"), chartText);
    return s;
}

Summary entrySummary(const MainWindowState& main) {
    Summary s;
    s[0] = main.editText(Edit::BowWeight) + "#";
    s[1] = main.editText(Edit::ArrowLength) + kInch;
    s[2] = main.editText(Edit::PointWeight) + "gr";
    const std::string tag = main.labelText(MainWindowState::Label::TmpLbl2);
    const bool hunting = tag == "Hunt";
    const int bowType = main.itemIndex(hunting ? Group::BowType : Group::TargBowType);
    if (bowType == 0) {
        s[3] = ARROWSEL_TR_NOOP("Summary", "Compound");
        s[4] = wheelText(main.itemIndex(Group::WheelType));
        s[5] = releaseText(main.itemIndex(Group::ReleaseType));
        s[6] = braceText(main.itemIndex(Group::BraceHt));
        s[7] = overDrawText(main.itemIndex(Group::OverDraw));
    } else if (bowType == 1 || (bowType == 2 && hunting)) {
        s[3] = bowType == 1 ? ARROWSEL_TR_NOOP("Summary", "Recurve") : ARROWSEL_TR_NOOP("Summary", "Longbow");
        s[4] = s[5] = s[6] = s[7] = ARROWSEL_TR_NOOP("Summary", "N/A");
    }
    if (tag == "Hunt") {
        s[8] = chartText(0);
    } else if (tag == "Targ") {
        s[8] = chartText(1);
    } else if (tag == "Orvk") {
        s[8] = chartText(2);
    }
    return s;
}

void restoreSetup(const RecordTexts& record, MainWindowState& main) {
    const std::string hort = record("HORT");
    if (hasNonBlank(hort)) {
        switch (engine::toInteger(hort)) {
        case 0:
            main.setPage(Page::Hunt);
            break;
        case 1:
            main.setPage(Page::Targ);
            break;
        case 2:
            main.setPage(Page::Orvk);
            break;
        default:
            break;
        }
    }
    main.setEditText(Edit::BowWeight, std::string(data::trimTrailingSpaces(record("BOWWT"))));
    main.setEditText(Edit::ArrowLength, std::string(data::trimTrailingSpaces(record("ARLEN"))));
    main.setEditText(Edit::PointWeight, std::string(data::trimTrailingSpaces(record("PNTWT"))));
    const int bowType = engine::toInteger(record("BOTYP"));
    main.setItemIndex(Group::BowType, bowType);
    main.setItemIndex(Group::TargBowType, bowType);
    main.setItemIndex(Group::WheelType, engine::toInteger(record("WHTYP")));
    main.setItemIndex(Group::ReleaseType, engine::toInteger(record("RETYP")));
    main.setItemIndex(Group::BraceHt, engine::toInteger(record("BOLEN")));
    main.setItemIndex(Group::OverDraw, engine::toInteger(record("ODLEN")));
}

std::optional<std::string> unstorableValue(data::CodePage cp, const std::vector<FieldValue>& values,
                                           const std::vector<CustomerField>& captions) {
    for (const FieldValue& v : values) {
        std::string stored;
        std::string bad;
        if (data::encodeText(cp, v.text, stored, &bad)) {
            continue;
        }
        std::string caption = v.name;
        for (const CustomerField& c : captions) {
            if (v.name == c.name) {
                caption = c.caption;
            }
        }
        if (bad.empty()) {
            return "The field \"" + caption + "\" holds text that is not valid. Retype it and save again.";
        }
        return "The field \"" + caption + "\" holds the character \"" + bad + "\", which this table (code page " +
               data::codePageName(cp) + ") cannot store. Replace it and save again; nothing has been stored.";
    }
    return std::nullopt;
}

bool addressComplete(const RecordTexts& values) {
    for (const char* field : {"NAME", "ADDR1", "CITY", "STATE"}) {
        if (!hasNonBlank(values(field))) {
            return false;
        }
    }
    return true;
}

} // namespace arrowsel::records
