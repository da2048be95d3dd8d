// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "reports/report.h"

#include <initializer_list>
#include <vector>

// The pieces the setup reports share with the build sheet: the shop header, the block of
// caption/value pairs, section titles, the comment box, and the texts printed for the main
// window's choices.
namespace arrowsel::reports {

// Shop name, address, city line, phone line, date and time of printing, the rule and the block
// title "Equipment Setup Variables", centred on a band `bandWidth` wide. Returns the height used.
double addShopHeader(Band& band, double bandWidth, const RecordSource* shop);

struct SetupPair {
    const char16_t* captionName;
    const char16_t* caption;
    const char16_t* valueName;
};
// Rows of up to two caption/value pairs from `y`, 10 pt bold; captions right-aligned against their
// values, which the before-print handlers fill. Returns where the block ends.
double addSetupBlock(Band& band, double y, const std::vector<std::vector<SetupPair>>& rows);

// A 12 pt title centred like the header; returns where the next line starts.
double addSectionTitle(Band& band, double bandWidth, double y, const QString& name, const QString& title);

// The shop's comment in a box at `y`, one line, centred. The field holds up to 60 characters, more
// than the box is wide: the line is cut at the box.
void addCommentBox(Band& band, double bandWidth, double y, const RecordSource* shop);

// Texts printed for the main window's choices, by item index.
inline const std::initializer_list<const char16_t*> kOverDrawTexts{u"None",     u"1 inch",   u"2 inches",
                                                                   u"3 inches", u"4 inches", u"5 inches"};
inline const std::initializer_list<const char16_t*> kReleaseTexts{u"Mechanical", u"Fingers"};
inline const std::initializer_list<const char16_t*> kBraceTexts{u"More Than 6 1/2\"", u"Less Than 6 1/2\""};
inline const std::initializer_list<const char16_t*> kReportWheelTexts{u"Hard Cam", u"Soft/Energy Cam", u"Round"};
inline const std::initializer_list<const char16_t*> kHuntBowTexts{u"Compound", u"Recurve", u"Longbow"};

} // namespace arrowsel::reports
