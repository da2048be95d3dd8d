// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "records/saved_setup.h"

#include <QFrame>
#include <array>

class QLabel;
class QWidget;

namespace arrowsel::records {

class FieldBinding;

// The customer's edits, as the lookup and the entry windows both show them: name, two address
// lines, city / state / ZIP, country, code and the comments. Object names follow the windows'
// own (DBEdit1 NAME, DBEdit6 ADDR1, DBEdit7 ADDR2, DBEdit8 CITY, DBEdit9 STATE, DBEdit10 ZIP,
// DBEdit2 COUNTRY, DBEdit11 CCODE, DBMemo1 COMMENTS), and below the comments CommentsNote, shown when
// they are longer than the windows edit.
QWidget* buildCustomerEdits(QWidget* parent, FieldBinding& binding);

// The setup summary: a caption and a value label per line, and the chart label. Value labels are
// Label24 (bow weight), Label25 (arrow length), Label27 (point weight), Label9 (bow type), Label10
// (wheel type), Label12 (release), Label15 (brace height), Label16 (over draw), Label17 (chart).
class SummaryPanel : public QFrame {
public:
    explicit SummaryPanel(QWidget* parent = nullptr);
    void setSummary(const Summary& summary);
    QString text(SummaryLine line) const;

private:
    std::array<QLabel*, kSummaryLines> values_{};
};

} // namespace arrowsel::records
