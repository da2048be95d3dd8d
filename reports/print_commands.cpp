// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/print_commands.h"

#include "ui/guarded.h"

namespace arrowsel::reports {

PrintCommands::PrintCommands(std::filesystem::path dataFolder, Clock clock, const QLocale& locale)
    : dataFolder_(std::move(dataFolder)), clock_(std::move(clock)), locale_(locale) {}

PageReportForm& PrintCommands::form(engine::Page page) {
    switch (page) {
    case engine::Page::Targ:
        return targ_;
    case engine::Page::Youth:
        return youth_;
    case engine::Page::Orvk:
        return orvk_;
    case engine::Page::Hunt:
        break;
    }
    return hunt_;
}

Document PrintCommands::renderForm(ReportForm& f) {
    // The shop may have been edited since the last print: every print shows it as it is now.
    f.shop() = readShopRecord(dataFolder_, f.shopTable());
    return f.render(clock_, locale_);
}

Document PrintCommands::render(engine::Page page, const engine::BowSetup& setup,
                               const engine::SelectionResult& result) {
    PageReportForm& f = form(page);
    f.setRun(setup, result);
    return renderForm(f);
}

Document PrintCommands::renderCustomer(const CustomerTexts& texts) {
    cust_.setCustomer(texts);
    return renderForm(cust_);
}

Document PrintCommands::renderBuildSheet(const calc::BuildSheet& sheet, const engine::BowSetup& setup) {
    sheet_.setSheet(sheet, setup);
    return renderForm(sheet_);
}

PrintResult PrintCommands::print(ReportForm& f, QWidget* parent) {
    Document doc;
    if (!ui::runGuarded(parent, [this, &f, &doc] { doc = renderForm(f); })) {
        return PrintResult::NotPrinted;
    }
    return ui::printDocument(doc, f.report().showProgress, parent);
}

PrintResult PrintCommands::printPage(PageReportForm& f, const engine::BowSetup& setup,
                                     const engine::SelectionResult& result, QWidget* parent) {
    f.setRun(setup, result);
    return print(f, parent);
}

PrintResult PrintCommands::HPrintBtnClick(const engine::BowSetup& setup, const engine::SelectionResult& result,
                                          QWidget* parent) {
    return printPage(hunt_, setup, result, parent);
}

PrintResult PrintCommands::TPrintBtnClick(const engine::BowSetup& setup, const engine::SelectionResult& result,
                                          QWidget* parent) {
    return printPage(targ_, setup, result, parent);
}

PrintResult PrintCommands::SpeedButton9Click(const engine::BowSetup& setup, const engine::SelectionResult& result,
                                             QWidget* parent) {
    return printPage(youth_, setup, result, parent);
}

PrintResult PrintCommands::OrvkPrintBtnClick(const engine::BowSetup& setup, const engine::SelectionResult& result,
                                             QWidget* parent) {
    return printPage(orvk_, setup, result, parent);
}

PrintResult PrintCommands::printCustomer(const CustomerTexts& texts, QWidget* parent) {
    cust_.setCustomer(texts);
    return print(cust_, parent);
}

PrintResult PrintCommands::printBuildSheet(const calc::BuildSheet& sheet, const engine::BowSetup& setup,
                                           QWidget* parent) {
    sheet_.setSheet(sheet, setup);
    return print(sheet_, parent);
}

} // namespace arrowsel::reports
