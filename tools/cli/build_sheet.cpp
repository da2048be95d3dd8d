// SPDX-License-Identifier: GPL-3.0-or-later
#include "calc/finished_arrow.h"
#include "data/dbf_table.h"
#include "data/table_error.h"
#include "engine/conversions.h"
#include "engine/pages.h"
#include "tools/cli/commands.h"
#include "tools/cli/data_default.h"
#include "tools/cli/json.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>
#include <string>

namespace arrowsel::cli {

const char* const kBuildSheetUsage =
    "  build-sheet --shaft KEY [the recommend options]\n"
    "      [--length IN] [--point GR] [--insert GR] [--nock GR] [--fletching GR]\n"
    "      [--rating IBO|ATA] [--rated-speed FPS] [--draw-length IN] [--string-weight GR]\n"
    "      [--measured-speed FPS] [--balance IN] [--customer NAME] --pdf FILE | --json\n"
    "      Runs the selection as recommend does, takes the recommended shaft whose specification\n"
    "      key is KEY (its size followed by its spine or model text), and gives the finished\n"
    "      arrow's build sheet as the specifications window's Print Build Sheet prints it: a PDF\n"
    "      page, or JSON whose fields speed, total_weight, kinetic_energy and momentum hold the\n"
    "      figures (speed null when there is none; speed_note says why). The length and the\n"
    "      point, insert, nock and fletching weights start as that window starts them. The speed\n"
    "      is estimated from a compound bow's rating (--rated-speed, 70 lb, 30 in. and 350 grains\n"
    "      for IBO and ATA alike) unless --measured-speed gives a chronograph reading; recurves,\n"
    "      longbows and youth bows have no estimate. --balance: the balance point's distance from\n"
    "      the nock groove, for the front of center.\n"
    "      Example:\n"
    "        arrowsel-cli build-sheet --page Hunt --bow-weight 65 --arrow-length 29\n"
    "            --shaft 400.400 --rating IBO --rated-speed 320 --draw-length 29 --json\n";

namespace {

struct SheetOptions {
    SetupOptions setup;
    std::optional<std::string> shaft;
    std::optional<std::string> pdf;
    bool json = false;
    std::string customer;
    calc::SpeedInputs speed;
    double balance = 0;
    std::optional<double> length, point, insert, nock, fletching;
};

int usageError(const std::string& message) {
    std::fprintf(stderr, "arrowsel-cli build-sheet: %s\nusage: arrowsel-cli\n%s%s", message.c_str(), kRecommendUsage,
                 kBuildSheetUsage);
    return kExitUsage;
}

// The window's texts break lines with CR; a terminal wants LF.
void printError(std::string message) {
    std::replace(message.begin(), message.end(), '\r', '\n');
    std::fprintf(stderr, "arrowsel-cli: %s\n", message.c_str());
}

// A length, weight or speed: a number from 0 to 9999.
bool parseAmount(std::string_view name, std::string_view text, double& out, std::string& error) {
    try {
        out = engine::toNumber(text);
    } catch (const engine::EConvertError&) {
        out = -1;
    }
    if (!(out >= 0 && out <= 9999)) {
        error = "option " + std::string(name) + " needs a number from 0 to 9999, not '" + std::string(text) + "'";
        return false;
    }
    return true;
}

// Sets the build sheet's own option `name` from `value`; returns what is wrong, or nothing. Any
// other name is left alone.
std::optional<std::string> applySheetOption(std::string_view name, const std::string& value, SheetOptions& o) {
    struct Amount {
        const char* name;
        std::optional<double>* optional;
        double* plain;
    };
    const Amount amounts[] = {{"--length", &o.length, nullptr},
                              {"--point", &o.point, nullptr},
                              {"--insert", &o.insert, nullptr},
                              {"--nock", &o.nock, nullptr},
                              {"--fletching", &o.fletching, nullptr},
                              {"--rated-speed", nullptr, &o.speed.ratedSpeed},
                              {"--draw-length", nullptr, &o.speed.drawLength},
                              {"--string-weight", nullptr, &o.speed.stringGrains},
                              {"--measured-speed", nullptr, &o.speed.measuredSpeed},
                              {"--balance", nullptr, &o.balance}};
    std::string error;
    for (const Amount& a : amounts) {
        double amount = 0;
        if (name != a.name) {
            continue;
        }
        if (!parseAmount(a.name, value, amount, error)) {
            return error;
        }
        if (a.optional) {
            *a.optional = amount;
        } else {
            *a.plain = amount;
        }
    }
    if ((name == "--shaft" || name == "--pdf") && value.empty()) {
        return "option " + std::string(name) + " needs a value";
    }
    if (name == "--shaft") {
        o.shaft = value;
    } else if (name == "--pdf") {
        o.pdf = value;
    } else if (name == "--customer") {
        o.customer = value;
    } else if (name == "--json") {
        o.json = true;
    } else if (name == "--rating" && (value == "IBO" || value == "ibo")) {
        o.speed.rating = calc::SpeedRating::Ibo;
    } else if (name == "--rating" && (value == "ATA" || value == "ata")) {
        o.speed.rating = calc::SpeedRating::Ata;
    } else if (name == "--rating") {
        return "option --rating needs IBO or ATA, not '" + value + "'";
    }
    return std::nullopt;
}

// The command line into `o`; an exit code when the command ends here (help, or a usage error told).
std::optional<int> parseOptions(std::span<const std::string_view> args, SheetOptions& o) {
    if (asksForHelp(args)) {
        // The recommend options first, so that the help ends with the example.
        std::fprintf(stdout, "usage: arrowsel-cli\n%s%s", kRecommendUsage, kBuildSheetUsage);
        return kExitOk;
    }
    CommandLine line;
    const auto specs = withSetupOptions({"--length", "--point", "--insert", "--nock", "--fletching", "--rated-speed",
                                         "--draw-length", "--string-weight", "--measured-speed", "--balance", "--shaft",
                                         "--pdf", "--customer", "--rating"},
                                        {"--json"});
    if (const auto problem = readCommandLine(args, specs, line)) {
        return usageError(*problem);
    }
    for (const auto& [name, value] : line.options) {
        auto problem = applySheetOption(name, value, o);
        if (!problem) {
            problem = applySetupOption(name, value, o.setup);
        }
        if (problem) {
            return usageError(*problem);
        }
    }
    if (!o.shaft) {
        return usageError("give the shaft's specification key with --shaft KEY");
    }
    if (o.pdf.has_value() == o.json) {
        return usageError("give either --pdf FILE or --json");
    }
    return std::nullopt;
}

void appendField(std::string& out, const char* name, bool first = false) {
    out += first ? "\"" : ", \"";
    out += name;
    out += "\": ";
}

void appendText(std::string& out, const char* name, const std::string& text) {
    appendField(out, name);
    appendJsonString(out, text);
}

// `text` null: JSON's null.
void appendTextOrNull(std::string& out, const char* name, const char* text) {
    appendField(out, name);
    if (text) {
        appendJsonString(out, text);
    } else {
        out += "null";
    }
}

// A figure the sheet shows as text, written as a JSON number; null when there is none.
void appendFigure(std::string& out, const char* name, const std::string& figure) {
    appendField(out, name);
    out += figure.empty() ? std::string("null") : figure;
}

void appendAmount(std::string& out, const char* name, double value) {
    appendFigure(out, name, engine::numberText(value));
}

std::string toJson(const calc::BuildSheet& s) {
    const calc::FinishedArrow& a = s.arrow;
    const calc::ArrowSpeed& v = a.speed;
    const bool known = v.source != calc::SpeedSource::None;
    std::string out = "{";
    appendField(out, "page", true);
    appendJsonString(out, s.pageTag);
    appendText(out, "customer", s.customer);
    out += ",\n \"shaft\": {";
    appendField(out, "key", true);
    appendJsonString(out, s.shaft.key);
    appendText(out, "size", s.shaft.size);
    appendText(out, "spine", s.shaft.spine);
    appendText(out, "models", s.shaft.models);
    appendText(out, "shaft_type", s.shaft.shaftType);
    appendText(out, "grains_per_inch", s.shaft.grainsPerInch);
    appendText(out, "outside_diameter", s.shaft.outsideDiameter);
    appendText(out, "inside_diameter", s.shaft.insideDiameter);
    out += "},\n";
    appendField(out, "cut_length", true);
    out += engine::numberText(s.parts.length);
    appendAmount(out, "point", s.parts.point);
    appendAmount(out, "insert", s.parts.insert);
    appendAmount(out, "nock", s.parts.nock);
    appendAmount(out, "fletching", s.parts.vanes);
    appendFigure(out, "shaft_weight", a.weights.shaft);
    appendFigure(out, "total_weight", a.weights.total);
    appendFigure(out, "grains_per_pound", a.perPound ? a.perPound->text : std::string());
    std::string foc = a.frontOfCenter.value_or(std::string());
    foc.erase(std::remove(foc.begin(), foc.end(), '%'), foc.end());
    appendFigure(out, "front_of_center", foc);
    out += ",\n";
    appendField(out, "rating", true);
    appendJsonString(out, calc::speedRatingName(s.speedInputs.rating));
    appendFigure(out, "rated_speed", s.speedInputs.ratedSpeed > 0 ? engine::numberText(s.speedInputs.ratedSpeed) : "");
    appendAmount(out, "draw_length", s.speedInputs.drawLength);
    appendAmount(out, "string_weight", s.speedInputs.stringGrains);
    appendFigure(out, "measured_speed",
                 s.speedInputs.measuredSpeed > 0 ? engine::numberText(s.speedInputs.measuredSpeed) : "");
    out += ",\n";
    appendField(out, "speed", true);
    out += known ? std::to_string(v.feetPerSecond) : std::string("null");
    appendTextOrNull(out, "speed_source",
                     known ? (v.source == calc::SpeedSource::Measured ? "measured" : "estimated") : nullptr);
    appendTextOrNull(out, "speed_note", known ? nullptr : calc::noSpeedText(v.why));
    appendFigure(out, "kinetic_energy", known ? v.energy.text : std::string());
    appendFigure(out, "momentum", known ? v.momentum : std::string());
    appendTextOrNull(out, "game_class", known ? v.gameClass : nullptr);
    out += ",\n \"version\": " + std::to_string(kJsonVersion) + "}\n";
    return out;
}

// The grid row whose size click forms `key`; 0 when there is none.
int rowOfKey(const engine::SelectionResult& result, const std::string& key) {
    const auto& cells = result.cells();
    for (std::size_t i = 0; i < cells.size(); ++i) {
        const engine::Cell& c = cells[i];
        const int row = static_cast<int>(i) + 1;
        if (c.shown && c.sizeEnabled && !c.size.empty() && c.size + c.keyDetail == key) {
            return row;
        }
    }
    return 0;
}

int run(const SheetOptions& o) {
    const std::optional<std::filesystem::path> chosen = chooseDataFolder(o.setup.dataDir);
    if (!chosen) {
        return kExitFailure;
    }
    engine::SelectionEngine selection(*chosen);
    const engine::SelectionResult result = selection.run(o.setup.setup);
    if (result.error) {
        printError(result.error.message);
        return result.error.kind == engine::RunError::Kind::Conversion ? kExitConversionError : kExitFailure;
    }
    if (const auto problem = unusableSetup(o.setup.setup, result)) {
        printError(*problem);
        return kExitConversionError;
    }
    for (const std::string& notice : result.notices) {
        std::fprintf(stderr, "Notice: %s\n", notice.c_str());
    }
    const int row = rowOfKey(result, *o.shaft);
    if (row == 0) {
        printError("no shaft recommended on the " + std::string(engine::pageFacts(result.page).inText) +
                   " page has the key '" + *o.shaft +
                   "' (arrowsel-cli recommend lists them: size, then spine "
                   "or model)");
        return kExitFailure;
    }
    const engine::Cell& cell = result.cells()[static_cast<std::size_t>(row - 1)];
    // The sheet is of the setup as the run left it (a notice resets the bow weight).
    const engine::BowSetup setup = engine::settledSetup(o.setup.setup, result);

    data::TDbfTable table;
    // The window would show the last shaft in index order for a key the index lacks; a sheet of
    // another shaft would mislead the bench.
    if (!calc::openShaftTable(table, *chosen, *o.shaft)) {
        printError("the specification index holds no shaft '" + *o.shaft + "'");
        return kExitFailure;
    }
    calc::BuildSheet sheet;
    calc::ArrowComponents& parts = sheet.parts;
    double gpi = 0;
    try {
        parts = calc::startingComponents(setup, result.pageTag, &table);
        gpi = calc::grainsPerInch(table.fieldText("GPI"), cell.model);
    } catch (const engine::EConvertError& e) {
        printError(e.what());
        return kExitConversionError;
    }
    for (const auto& [given, part] :
         {std::pair{&o.length, &parts.length}, std::pair{&o.point, &parts.point}, std::pair{&o.insert, &parts.insert},
          std::pair{&o.nock, &parts.nock}, std::pair{&o.fletching, &parts.vanes}}) {
        *part = given->value_or(*part);
    }
    sheet.customer = o.customer;
    sheet.pageTag = result.pageTag;
    sheet.shaft = calc::shaftTexts(table, *o.shaft, cell.size, cell.model);
    sheet.speedInputs = o.speed;
    sheet.balance = o.balance;
    sheet.arrow = calc::finishArrow(gpi, parts, calc::drawWeightText(setup, result.pageTag),
                                    calc::bowKind(setup, result.pageTag), o.speed, o.balance);
    if (o.json) {
        const std::string text = toJson(sheet);
        std::fwrite(text.data(), 1, text.size(), stdout);
        return kExitOk;
    }
#ifdef ARROWSEL_CLI_REPORTS
    return writeBuildSheetPdf(*chosen, setup, sheet, *o.pdf);
#else
    printError("this build of arrowsel-cli has no printed pages: use --json");
    return kExitFailure;
#endif
}

} // namespace

int buildSheetCommand(std::span<const std::string_view> args) {
    SheetOptions options;
    if (const std::optional<int> done = parseOptions(args, options)) {
        return *done;
    }
    try {
        return run(options);
    } catch (const data::ETableError& e) {
        // A table or index that cannot be read (what else goes wrong, main() tells).
        printError(e.what());
        return kExitFailure;
    }
}

} // namespace arrowsel::cli
