// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "data/codepage.h"
#include "present/window_state.h"
#include "records/setup_field.h"

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace arrowsel::records {

// A saved setup is one record of "Saveddb.dbf": the customer's name and address, typed by the
// user, and the bow setup of the main window when it was saved. The edits' texts are stored as
// typed (BOWWT, ARLEN, PNTWT); radio groups as the decimal text of their item index counted from
// 0 (BOTYP, WHTYP, RETYP, BOLEN, ODLEN); HORT names the page: "0" Hunting, "1" Target, "2" Orvik,
// blank for a setup saved from the Youth page.

inline constexpr const char* kSavedTable = "Saveddb.dbf";
inline constexpr const char* kSavedIndex = "Saved.idx";
// The key of "Saved.idx" as the sample data builds it; a damaged index whose header is lost is
// rebuilt on it.
inline constexpr const char* kSavedIndexExpression = "NAME";
inline constexpr const char* kShopTable = "SHOPINFO.DBF";
inline constexpr const char* kExportFile = "custdb.txt";
// The most characters a customer's comments hold as typed into the entry and lookup windows: what
// the lookup lays out in a blink whatever they are (one word of that length, no line break).
inline constexpr int kCommentLimit = 32000;

// Reads a field of the record being shown, as the table gives it (character fields padded).
using RecordTexts = std::function<std::string(std::string_view field)>;

// The setup fields of a new record, from the main window, in the order they are written.
std::vector<FieldValue> encodeSetup(const MainWindowState& main);

// The summary beside a record: the value labels of the lookup and entry windows.
enum class SummaryLine {
    BowWeight,
    ArrowLength,
    PointWeight,
    BowType,
    WheelType,
    Release,
    BraceHeight,
    OverDraw,
    Chart
};
inline constexpr std::size_t kSummaryLines = 9;
using Summary = std::array<std::string, kSummaryLines>;

inline const std::string& line(const Summary& s, SummaryLine l) {
    return s[static_cast<std::size_t>(l)];
}

// Display texts of the codes; an empty text for a code outside its list. Their words (and the
// summary's "N/A") are marked for translation in the context "Summary"; a number with its unit is not.
std::string chartText(int hort);
std::string bowTypeText(int botyp);
std::string wheelText(int whtyp);
std::string releaseText(int retyp);
std::string braceText(int bolen);
std::string overDrawText(int odlen);

// The lookup's summary of a stored record. A code that is not a whole number shows empty.
Summary lookupSummary(const RecordTexts& record);
// The entry window's summary of the setup on the main window: point weight in "gr", and "N/A" for
// the cam, release, brace and overdraw of a recurve or longbow.
Summary entrySummary(const MainWindowState& main);

// Puts the stored setup back into the main window: page, edit texts, then item indexes, each
// change running the selection through the main window. A blank HORT keeps the page. A code that
// is not a whole number stops here with engine::EConvertError; what was set before stays set.
void restoreSetup(const RecordTexts& record, MainWindowState& main);

// A customer field as the windows show it.
struct CustomerField {
    const char* name;    // field of the table
    const char* caption; // how the user knows it, for messages and screen readers
};

// The first value the code page cannot hold, as a sentence naming the field and the character
// for the user; nullopt when every value can be stored.
std::optional<std::string> unstorableValue(data::CodePage cp, const std::vector<FieldValue>& values,
                                           const std::vector<CustomerField>& captions);

// The name, first address line, city and state all hold more than blanks.
bool addressComplete(const RecordTexts& values);

} // namespace arrowsel::records
