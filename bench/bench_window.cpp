// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's speed: one selection run applied to the controls, and the program's start
// from process start to the main window's first paint (offscreen, on the sample data).
#include "app/arrow_sel.h"
#include "tests/support/recording_seam.h"
#include "ui/message_seam.h"

#include <QApplication>
#include <QLineEdit>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

QApplication& application() {
    static int argc = 1;
    static char name[] = "bench_window";
    static char* argv[] = {name, nullptr};
    static std::unique_ptr<QApplication> app = [] {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        return std::make_unique<QApplication>(argc, argv);
    }();
    return *app;
}

void runThroughWindow(benchmark::State& state, arrowsel::engine::Page page) {
    const bool youthPage = page == arrowsel::engine::Page::Youth;
    application();
    arrowsel::test::RecordingSeam seam;
    arrowsel::app::TArrowSel window{std::filesystem::path(ARROWSEL_SAMPLEDATA)};
    window.show();
    QApplication::processEvents();
    window.setPage(page);
    auto* weight = window.findChild<QLineEdit*>(QStringLiteral("BowWeightSpin"));
    auto* youth = window.findChild<QLineEdit*>(QStringLiteral("YouthBowWtSpin"));
    QLineEdit* edit = youthPage ? youth : weight;
    const QString a = youthPage ? QStringLiteral("30") : QStringLiteral("60");
    const QString b = youthPage ? QStringLiteral("31") : QStringLiteral("61");
    bool flip = false;
    for (auto _ : state) {
        edit->setText(flip ? a : b); // the change handler runs FindRec: engine plus control updates
        flip = !flip;
    }
    if (!seam.entries.empty()) {
        state.SkipWithError("a box was shown");
    }
}

void BM_FindRecHunting(benchmark::State& s) {
    runThroughWindow(s, arrowsel::engine::Page::Hunt);
}
void BM_FindRecTarget(benchmark::State& s) {
    runThroughWindow(s, arrowsel::engine::Page::Targ);
}
void BM_FindRecYouth(benchmark::State& s) {
    runThroughWindow(s, arrowsel::engine::Page::Youth);
}
void BM_FindRecOrvik(benchmark::State& s) {
    runThroughWindow(s, arrowsel::engine::Page::Orvk);
}
BENCHMARK(BM_FindRecHunting)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_FindRecTarget)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_FindRecYouth)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_FindRecOrvik)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

// Process start to first paint: the developer build of the program leaves right after it.
void BM_StartToFirstPaint(benchmark::State& state) {
    char program[] = ARROWSEL_FIRSTPAINT;
    char* argv[] = {program, nullptr};
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(ARROWSEL_SAMPLEDATA);
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    for (auto _ : state) {
        pid_t pid = 0;
        if (posix_spawn(&pid, program, nullptr, nullptr, argv, environ) != 0) {
            state.SkipWithError("cannot start the program");
            break;
        }
        int status = 0;
        waitpid(pid, &status, 0);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("the program failed");
            break;
        }
    }
    std::filesystem::current_path(previous);
}
BENCHMARK(BM_StartToFirstPaint)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

} // namespace
