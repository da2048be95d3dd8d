// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "reports/setup_reports.h"

#include <QString>

namespace arrowsel::reports {

// What the customer lookup window shows of the record it stands on, as it shows it (units and
// all): the texts the customer report prints.
struct CustomerTexts {
    QString name;        // DBEdit1
    QString address;     // DBEdit6
    QString city;        // DBEdit8
    QString state;       // DBEdit9
    QString zip;         // DBEdit10
    QString country;     // DBEdit2
    QString ccode;       // DBEdit11
    QString bowWeight;   // Label24
    QString arrowLength; // Label25
    QString pointWeight; // Label27
    QString bowType;     // Label9
    QString wheelType;   // Label10
    QString release;     // Label12
    QString braceHeight; // Label15
    QString overDraw;    // Label16
    QString chartName;   // Label17
    QString comment;     // COMMENTS of the record shown
};

// Customer detail report: one customer's saved setup, under a title, with the shop in the footer.
class TCustInfoRpt : public ReportForm {
public:
    TCustInfoRpt();
    // The texts the next print takes; the report keeps its own copy.
    void setCustomer(const CustomerTexts& texts) { customer_ = texts; }
    void Report1BeforePrint(Report& sender, bool& printReport);

private:
    void addTitleBand();
    void addDetailBand();
    void addFooterBand();

    CustomerTexts customer_;
};

} // namespace arrowsel::reports
