// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/table_error.h"
#include "reports/print_commands.h"
#include "tools/cli/commands.h"
#include "tools/cli/data_default.h"
#include "ui/page_painter.h"
#include "ui/translations.h"

#include <QGuiApplication>
#include <algorithm>
#include <cstdio>
#include <utility>

namespace arrowsel::cli {

const char* const kReportUsage =
    "  report --page Hunt|Targ|Youth|Orvk [the recommend options] --pdf FILE | --print\n"
    "      Runs the selection as recommend does and lays out the page's printed report, as the\n"
    "      page's Print button would, into a PDF file or onto the default printer.\n";

namespace {

int usageError(const std::string& message) {
    std::fprintf(stderr, "arrowsel-cli report: %s\nusage: arrowsel-cli\n%s%s", message.c_str(), kReportUsage,
                 kRecommendUsage);
    return kExitUsage;
}

struct ReportOptions {
    SetupOptions setup;
    std::optional<std::string> pdf;
    bool print = false;
};

// The command line's options into `options`; an exit code when the command ends here (help, or
// a usage error already told).
std::optional<int> parseReportOptions(std::span<const std::string_view> args, ReportOptions& options) {
    if (asksForHelp(args)) {
        std::fprintf(stdout, "usage: arrowsel-cli\n%s%s", kReportUsage, kRecommendUsage);
        return kExitOk;
    }
    CommandLine line;
    if (const auto problem = readCommandLine(args, withSetupOptions({"--pdf"}, {"--print"}), line)) {
        return usageError(*problem);
    }
    for (const auto& [name, value] : line.options) {
        if (name == "--pdf" && value.empty()) {
            return usageError("option --pdf needs a file name");
        }
        if (name == "--pdf") {
            options.pdf = value;
        }
        options.print = options.print || name == "--print";
        if (const auto problem = applySetupOption(name, value, options.setup)) {
            return usageError(*problem);
        }
    }
    if (options.pdf.has_value() == options.print) {
        return usageError("give either --pdf FILE or --print");
    }
    return std::nullopt;
}

// An error of the run or the report, its line breaks (CR in the window's texts) as a terminal shows them.
void printError(std::string message) {
    std::replace(message.begin(), message.end(), '\r', '\n');
    std::fprintf(stderr, "arrowsel-cli: %s\n", message.c_str());
}

int deliver(const ui::Document& doc, const std::optional<std::string>& pdf) {
    if (pdf) {
        // The name is used as the bytes it was given (a folder named in Latin-1 included).
        QString error;
        if (!ui::writePdf(doc, std::filesystem::path(*pdf), &error)) {
            std::fprintf(stderr, "arrowsel-cli: %s: %s\n", pdf->c_str(), error.toStdString().c_str());
            return kExitFailure;
        }
        return kExitOk;
    }
    const ui::PrintOutcome outcome = ui::PrintSeam::current().printToDefault(doc, false, nullptr);
    switch (outcome.status) {
    case ui::PrintStatus::Printed:
        return kExitOk;
    case ui::PrintStatus::NoPrinter:
        std::fprintf(stderr, "arrowsel-cli: no printer is available; nothing was printed (use --pdf FILE)\n");
        return kExitFailure;
    case ui::PrintStatus::Failed:
        break;
    }
    std::fprintf(stderr, "arrowsel-cli: the report was not printed: %s\n", outcome.detail.toStdString().c_str());
    return kExitFailure;
}

// Laying out text needs a GUI application, never a display. The pages print in the language of
// the system's locale, as the windows' do; the command's own messages stay English.
class PageApplication {
private:
    static bool offscreenUnlessChosen() {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
        }
        // Run from cron or ssh, Qt warns of what a desktop session would have set up (no
        // XDG_RUNTIME_DIR, no fonts of a theme); none of it changes the page, and the command
        // says itself what failed. Critical and fatal messages still reach standard error.
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
            if (type == QtCriticalMsg || type == QtFatalMsg) {
                std::fprintf(stderr, "arrowsel-cli: %s\n", message.toLocal8Bit().constData());
            }
        });
        return true;
    }

    bool platform_ = offscreenUnlessChosen(); // before the application is made
    int argc_ = 1;
    char name_[13] = "arrowsel-cli";
    char* argv_[2] = {name_, nullptr};
    QGuiApplication app_{argc_, argv_};
    QString language_ = ui::installTranslations(app_);
};

} // namespace

int writeBuildSheetPdf(const std::filesystem::path& dataFolder, const engine::BowSetup& setup,
                       const calc::BuildSheet& sheet, const std::string& pdf) {
    const PageApplication app;
    reports::PrintCommands commands(dataFolder);
    ui::Document doc;
    try {
        doc = commands.renderBuildSheet(sheet, setup);
    } catch (const data::ETableError& e) {
        printError(e.what());
        return kExitFailure;
    }
    return deliver(doc, pdf);
}

int reportCommand(std::span<const std::string_view> args) {
    ReportOptions options;
    if (const std::optional<int> done = parseReportOptions(args, options)) {
        return *done;
    }
    const PageApplication app;

    const std::optional<std::filesystem::path> chosen = chooseDataFolder(options.setup.dataDir);
    if (!chosen) {
        return kExitFailure;
    }
    const std::filesystem::path& folder = *chosen;
    engine::SelectionEngine selection(folder);
    const engine::SelectionResult result = selection.run(options.setup.setup);
    if (result.error) {
        // The window would show the error and leave a half-made grid; a report of it would mislead.
        printError(result.error.message);
        return result.error.kind == engine::RunError::Kind::Conversion ? kExitConversionError : kExitFailure;
    }
    if (const auto problem = unusableSetup(options.setup.setup, result)) {
        printError(*problem);
        return kExitConversionError;
    }
    for (const std::string& notice : result.notices) {
        std::fprintf(stderr, "Notice: %s\n", notice.c_str());
    }

    // The report prints the setup as the run left it (a notice resets the bow weight) beside its grid.
    reports::PrintCommands commands(folder);
    ui::Document doc;
    try {
        doc = commands.render(result.page, engine::settledSetup(options.setup.setup, result), result);
    } catch (const data::ETableError& e) {
        printError(e.what());
        return kExitFailure;
    }
    return deliver(doc, options.pdf);
}

} // namespace arrowsel::cli
