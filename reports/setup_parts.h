// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "reports/report.h"

#include <QtGlobal>
#include <initializer_list>
#include <vector>

// The pieces the setup reports share with the build sheet: the shop header, the block of
// caption/value pairs, section titles, the comment box, and the texts printed for the main
// window's choices.
namespace arrowsel::reports {

// Shop name, address, city line, phone line, date and time of printing, the rule and the block
// title "Equipment Setup Variables", centred on a band `bandWidth` wide. Returns the height used.
double addShopHeader(Band& band, double bandWidth, const RecordSource* shop);

// A caption is the English text, marked for translation in the context the block is added with.
struct SetupPair {
    const char16_t* captionName;
    const char* caption;
    const char16_t* valueName;
};
// Rows of up to two caption/value pairs from `y`, 10 pt bold; captions right-aligned against their
// values, which the before-print handlers fill, and translated in `context`. Returns where the
// block ends.
double addSetupBlock(Band& band, double y, const std::vector<std::vector<SetupPair>>& rows, const char* context);

// A 12 pt title centred like the header; returns where the next line starts.
double addSectionTitle(Band& band, double bandWidth, double y, const QString& name, const QString& title);

// The shop's comment in a box at `y`, one line, centred. The field holds up to 60 characters, more
// than the box is wide: the line is cut at the box.
void addCommentBox(Band& band, double bandWidth, double y, const RecordSource* shop);

// A text the setup reports print, in the installed language.
QString setupReportText(const char* english);

// Texts printed for the main window's choices, by item index: English, translated with
// setupReportText.
inline const std::initializer_list<const char*> kOverDrawTexts{
    QT_TRANSLATE_NOOP("arrowsel::reports::SetupReports", "None"),
    QT_TRANSLATE_NOOP("arrowsel::reports::SetupReports", "1 inch"),
    QT_TRANSLATE_NOOP("arrowsel::reports::SetupReports", "2 inches"),
    QT_TRANSLATE_NOOP("arrowsel::reports::SetupReports", "3 inches"),
    QT_TRANSLATE_NOOP("arrowsel::reports::SetupReports", "4 inches"),
    QT_TRANSLATE_NOOP("arrowsel::reports::SetupReports", "5 inches")};
inline const std::initializer_list<const char*> kReleaseTexts{
    QT_TRANSLATE_NOOP("arrowsel::reports::SetupReports", "Mechanical"),
    QT_TRANSLATE_NOOP("arrowsel::reports::SetupReports", "Fingers")};
inline const std::initializer_list<const char*> kBraceTexts{
    QT_TRANSLATE_NOOP("arrowsel::reports::SetupReports", "More Than 6 1/2\""),
    QT_TRANSLATE_NOOP("arrowsel::reports::SetupReports", "Less Than 6 1/2\"")};
inline const std::initializer_list<const char*> kReportWheelTexts{
    QT_TRANSLATE_NOOP("arrowsel::reports::SetupReports", "Hard Cam"),
    QT_TRANSLATE_NOOP("arrowsel::reports::SetupReports", "Soft/Energy Cam"),
    QT_TRANSLATE_NOOP("arrowsel::reports::SetupReports", "Round")};
inline const std::initializer_list<const char*> kHuntBowTexts{
    QT_TRANSLATE_NOOP("arrowsel::reports::SetupReports", "Compound"),
    QT_TRANSLATE_NOOP("arrowsel::reports::SetupReports", "Recurve"),
    QT_TRANSLATE_NOOP("arrowsel::reports::SetupReports", "Longbow")};
// "Not applicable", printed for a value the bow has no use for.
inline constexpr char kNotApplicable[] = QT_TRANSLATE_NOOP("arrowsel::reports::SetupReports", "N/A");

} // namespace arrowsel::reports
