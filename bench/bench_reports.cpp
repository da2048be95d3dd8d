// SPDX-License-Identifier: GPL-3.0-or-later
// Laying out the hunting report and drawing it into a PDF, as one Print does after the shop
// record is read, and the same for the build sheet beside it. Needs a GUI application for fonts;
// runs offscreen.
#include "reports/build_sheet_rpt.h"
#include "reports/setup_reports.h"
#include "ui/page_painter.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <benchmark/benchmark.h>

namespace {

// Every edit "60", every choice the first, and a full Hunting grid with one carbon summary.
struct FullGrid {
    arrowsel::engine::BowSetup setup;
    arrowsel::engine::SelectionResult result;

    FullGrid() {
        setup.bowWeight = setup.arrowLength = setup.pointWeight = "60";
        setup.youthBowWeight = setup.youthArrowLength = "60";
        arrowsel::engine::Cell shaft;
        shaft.size = "2314";
        shaft.spine = ".376";
        shaft.model = "RD,63";
        shaft.weight = "324,336";
        auto& cells = result.grids[0];
        cells.assign(17, shaft);
        cells[4].weight = "Details";
        cells[4].carbon = true;
    }
};

void fillShop(arrowsel::reports::RecordSnapshot& shop) {
    shop.set(QStringLiteral("NAME"), QStringLiteral("Sample Archery Shop"));
    shop.set(QStringLiteral("ADDR1"), QStringLiteral("100 Example Road"));
    shop.set(QStringLiteral("CITY"), QStringLiteral("Springfield"));
    shop.set(QStringLiteral("STATE"), QStringLiteral("ST"));
    shop.set(QStringLiteral("ZIP"), QStringLiteral("00000"));
    shop.set(QStringLiteral("PHONE"), QStringLiteral("555-0100"));
    shop.set(QStringLiteral("FAX"), QStringLiteral("555-0101"));
    shop.set(QStringLiteral("COMMENTS"), QStringLiteral("Sample data: enter your own under File > Shop Information."));
}

void BM_HuntingReportLayout(benchmark::State& state) {
    const FullGrid grid;
    arrowsel::reports::TReportForm form;
    form.setRun(grid.setup, grid.result);
    fillShop(form.shop());
    for (auto _ : state) {
        auto doc = form.render(arrowsel::reports::systemClock);
        benchmark::DoNotOptimize(doc);
    }
}
BENCHMARK(BM_HuntingReportLayout)->Unit(benchmark::kMillisecond);

// Lays `form` out and draws it into a PDF in memory, once per iteration.
void layoutToPdf(benchmark::State& state, arrowsel::reports::ReportForm& form) {
    std::int64_t bytes = 0;
    for (auto _ : state) {
        const auto doc = form.render(arrowsel::reports::systemClock);
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        {
            QPdfWriter writer(&buffer);
            writer.setResolution(600);
            writer.setPageLayout(QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait, QMarginsF()));
            QPainter painter(&writer);
            arrowsel::ui::paintDocument(painter, writer, doc);
        }
        bytes += buffer.size();
    }
    state.SetBytesProcessed(bytes);
}

// Layout and PDF together: the budget is 100 ms.
void BM_HuntingReportToPdf(benchmark::State& state) {
    const FullGrid grid;
    arrowsel::reports::TReportForm form;
    form.setRun(grid.setup, grid.result);
    fillShop(form.shop());
    layoutToPdf(state, form);
}
BENCHMARK(BM_HuntingReportToPdf)->Unit(benchmark::kMillisecond);

// The build sheet of the guide's first example, computed and printed as its button does: the same
// 100 ms budget as the hunting report.
void BM_BuildSheetToPdf(benchmark::State& state) {
    namespace calc = arrowsel::calc;
    const FullGrid grid;
    arrowsel::reports::TBuildSheetRpt form;
    fillShop(form.shop());
    calc::BuildSheet sheet;
    sheet.customer = "Jane Archer";
    sheet.pageTag = "Hunt";
    sheet.shaft = {"2213400", "2213", "Magnum, Ultra", "400", "Carbon", "9.55", ".300", ".276"};
    sheet.parts = {29, 8, 100, 0, 16};
    sheet.speedInputs = {calc::SpeedRating::Ibo, 320, 29, 0, 0};
    sheet.arrow = calc::finishArrow(9.55, sheet.parts, "65", calc::BowKind::Compound, sheet.speedInputs, 17);
    form.setSheet(sheet, grid.setup);
    layoutToPdf(state, form);
}
BENCHMARK(BM_BuildSheetToPdf)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
