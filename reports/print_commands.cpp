// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/print_commands.h"

#include "ui/guarded.h"

namespace arrowsel::reports {

PrintCommands::PrintCommands(const MainWindowState& state, Clock clock, const QLocale& locale)
    : state_(state), clock_(std::move(clock)), locale_(locale), hunt_(state), targ_(state), youth_(state), orvk_(state),
      sheet_(state) {}

ReportForm& PrintCommands::form(MainWindowState::Page page) {
    switch (page) {
    case MainWindowState::Page::Targ:
        return targ_;
    case MainWindowState::Page::Youth:
        return youth_;
    case MainWindowState::Page::Orvk:
        return orvk_;
    case MainWindowState::Page::Hunt:
        break;
    }
    return hunt_;
}

Document PrintCommands::renderForm(ReportForm& f) {
    // The shop may have been edited since the last print: every print shows it as it is now.
    f.shop() = readShopRecord(state_.dataFolder(), f.shopTable());
    return f.render(clock_, locale_);
}

Document PrintCommands::render(MainWindowState::Page page) {
    return renderForm(form(page));
}

Document PrintCommands::renderCustomer(const CustomerTexts& texts) {
    cust_.setCustomer(texts);
    return renderForm(cust_);
}

Document PrintCommands::renderBuildSheet(const calc::BuildSheet& sheet) {
    sheet_.setSheet(sheet);
    return renderForm(sheet_);
}

PrintResult PrintCommands::print(ReportForm& f, QWidget* parent) {
    Document doc;
    if (!ui::runGuarded(parent, [this, &f, &doc] { doc = renderForm(f); })) {
        return PrintResult::NotPrinted;
    }
    return ui::printDocument(doc, f.report().showProgress, parent);
}

PrintResult PrintCommands::HPrintBtnClick(QWidget* parent) {
    return print(hunt_, parent);
}

PrintResult PrintCommands::TPrintBtnClick(QWidget* parent) {
    return print(targ_, parent);
}

PrintResult PrintCommands::SpeedButton9Click(QWidget* parent) {
    return print(youth_, parent);
}

PrintResult PrintCommands::OrvkPrintBtnClick(QWidget* parent) {
    return print(orvk_, parent);
}

PrintResult PrintCommands::printCustomer(const CustomerTexts& texts, QWidget* parent) {
    cust_.setCustomer(texts);
    return print(cust_, parent);
}

PrintResult PrintCommands::printBuildSheet(const calc::BuildSheet& sheet, QWidget* parent) {
    sheet_.setSheet(sheet);
    return print(sheet_, parent);
}

} // namespace arrowsel::reports
