// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/text.h"
#include "engine/conversions.h"
#include "engine/selection.h"
#include "present/control_states.h"
#include "tools/cli/commands.h"
#include "tools/cli/data_default.h"
#include "tools/cli/json.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <span>
#include <string>
#include <utility>

namespace arrowsel::cli {

const char* const kRecommendUsage =
    "  recommend [--data DIR] [--page Hunt|Targ|Youth|Orvk]\n"
    "      [--bow-weight T] [--arrow-length T] [--point-weight T]\n"
    "      [--youth-bow-weight T] [--youth-arrow-length T]\n"
    "      [--bow-type N] [--targ-bow-type N] [--cam N] [--wheel N] [--release N]\n"
    "      [--overdraw N] [--brace N] [--json]\n"
    "      Runs one selection from the main window's start state and prints the page's grid.\n"
    "      T: a whole number, read as the window reads its edit's text; a setup off the\n"
    "      chart gives the window's notice and its default weight. Anything else (29.5, 6x)\n"
    "      ends with a message and exit status 2, as does a setup the window computes\n"
    "      nothing for (a one-digit weight, an arrow length without two digits).\n"
    "      N: a radio group's item index, passed to the selection unchanged: -1 (nothing\n"
    "      chosen) or an index past a group's items matches none of its cases.\n";

namespace {

using engine::Cell;
using engine::Page;

std::string colorText(present::Color color) {
    static constexpr char hex[] = "0123456789ABCDEF";
    std::string text = "0x";
    for (int shift = 20; shift >= 0; shift -= 4) {
        text += hex[(color >> shift) & 0x0F];
    }
    return text;
}

// The colour as a web page or an image editor writes it: #RRGGBB (the window's colours are 0x00BBGGRR).
std::string rgbText(present::Color color) {
    static constexpr char hex[] = "0123456789ABCDEF";
    std::string text = "#";
    for (int shift = 0; shift <= 16; shift += 8) {
        text += hex[(color >> (shift + 4)) & 0x0F];
        text += hex[(color >> shift) & 0x0F];
    }
    return text;
}

void appendJsonStrings(std::string& out, std::span<const std::string> texts) {
    for (std::size_t i = 0; i < texts.size(); ++i) {
        out += i == 0 ? "" : ", ";
        appendJsonString(out, texts[i]);
    }
}

void appendJsonBool(std::string& out, const char* name, bool value) {
    out += ", \"";
    out += name;
    out += value ? "\": true" : "\": false";
}

// One cell; only the Hunting page colours its cells by band.
void appendJsonCell(std::string& out, const Cell& cell, bool hunting) {
    out += "{\"size\": ";
    appendJsonString(out, cell.size);
    out += ", \"spine\": ";
    appendJsonString(out, cell.spine);
    out += ", \"model\": ";
    appendJsonString(out, cell.model);
    out += ", \"weight\": ";
    appendJsonString(out, cell.weight);
    appendJsonBool(out, "shown", cell.shown);
    appendJsonBool(out, "size_enabled", cell.sizeEnabled);
    appendJsonBool(out, "weight_enabled", cell.weightEnabled);
    out += ", \"color\": ";
    if (hunting && cell.band) {
        appendJsonString(out, colorText(present::bandColor(*cell.band)));
    } else {
        out += "null";
    }
    out += "}";
}

std::string toJson(const engine::SelectionResult& result) {
    std::string out = "{\"page\": ";
    appendJsonString(out, result.pageTag);
    out += ", \"notices\": [";
    appendJsonStrings(out, result.notices);
    out += "], \"bow_weight\": ";
    appendJsonString(out, result.bowWeight);
    out += ", \"youth_bow_weight\": ";
    appendJsonString(out, result.youthBowWeight);
    out += ", \"error\": ";
    if (result.error.kind == engine::RunError::Kind::Conversion) {
        appendJsonString(out, result.error.message);
    } else {
        out += "null";
    }
    out += ",\n \"cells\": [";
    bool first = true;
    for (const Cell& cell : result.cells()) {
        out += first ? "\n  " : ",\n  ";
        first = false;
        appendJsonCell(out, cell, result.page == Page::Hunt);
    }
    out += "],\n \"spine_labels\": [";
    if (result.page == Page::Targ) {
        appendJsonStrings(out, result.spineLabels);
    }
    // The cells' colours again, in cell order, as #RRGGBB; the cells keep theirs as they were.
    out += "],\n \"colors_rgb\": [";
    first = true;
    for (const Cell& cell : result.cells()) {
        out += first ? "" : ", ";
        first = false;
        if (result.page == Page::Hunt && cell.band) {
            appendJsonString(out, rgbText(present::bandColor(*cell.band)));
        } else {
            out += "null";
        }
    }
    out += "],\n \"version\": " + std::to_string(kJsonVersion) + "}\n";
    return out;
}

std::string padded(std::string_view text, std::size_t width) {
    std::string out(text);
    const std::size_t w = data::utf8Length(text);
    if (w < width) {
        out.append(width - w, ' ');
    }
    return out;
}

const char* colorName(const std::optional<engine::ColorBand>& band) {
    return band ? present::bandColorName(*band) : "";
}

// The grid as the page shows it: one line per cell with its captions; blank cells show a dash.
std::string toText(const engine::SelectionResult& result) {
    std::string out;
    for (const std::string& notice : result.notices) {
        out += "Notice: " + notice + "\n";
    }
    out += "Page: " + (result.pageTag.empty() ? std::string("(none)") : result.pageTag) + "\n";
    const auto& cells = result.cells();
    std::size_t widths[4] = {4, 5, 5, 6};
    for (const Cell& c : cells) {
        widths[0] = std::max(widths[0], data::utf8Length(c.size));
        widths[1] = std::max(widths[1], data::utf8Length(c.spine));
        widths[2] = std::max(widths[2], data::utf8Length(c.model));
        widths[3] = std::max(widths[3], data::utf8Length(c.weight));
    }
    const bool hunting = result.page == Page::Hunt;
    auto line = [&](std::string_view n, std::string_view a, std::string_view b, std::string_view c, std::string_view d,
                    std::string_view e) {
        std::string l = padded(n, 3) + "  " + padded(a, widths[0]) + "  " + padded(b, widths[1]) + "  " +
                        padded(c, widths[2]) + "  " + padded(d, widths[3]);
        if (hunting) {
            l += "  " + std::string(e);
        }
        out += data::trimTrailingSpaces(l);
        out += '\n';
    };
    line("#", "Size", "Spine", "Model", "Weight", "Colour");
    for (std::size_t i = 0; i < cells.size(); ++i) {
        const Cell& c = cells[i];
        const std::string n = std::to_string(i + 1);
        if (!c.shown) {
            line(n, "-", "", "", "", "");
        } else {
            line(n, c.size, c.spine, c.model, c.weight, colorName(c.band));
        }
    }
    return out;
}

int usageError(const std::string& message) {
    std::fprintf(stderr, "arrowsel-cli recommend: %s\nusage: arrowsel-cli\n%s", message.c_str(), kRecommendUsage);
    return kExitUsage;
}

struct TextOption {
    const char* name;
    std::string engine::BowSetup::*field;
};
constexpr TextOption kTextOptions[] = {
    {"--bow-weight", &engine::BowSetup::bowWeight},
    {"--arrow-length", &engine::BowSetup::arrowLength},
    {"--point-weight", &engine::BowSetup::pointWeight},
    {"--youth-bow-weight", &engine::BowSetup::youthBowWeight},
    {"--youth-arrow-length", &engine::BowSetup::youthArrowLength},
};

struct IndexOption {
    const char* name;
    int engine::BowSetup::*field;
};
constexpr IndexOption kIndexOptions[] = {
    {"--bow-type", &engine::BowSetup::bowType},    {"--targ-bow-type", &engine::BowSetup::targBowType},
    {"--cam", &engine::BowSetup::huntCamType},     {"--wheel", &engine::BowSetup::wheelType},
    {"--release", &engine::BowSetup::releaseType}, {"--overdraw", &engine::BowSetup::overDraw},
    {"--brace", &engine::BowSetup::braceHt},
};

} // namespace

std::vector<OptionSpec> withSetupOptions(std::initializer_list<const char*> valued,
                                         std::initializer_list<const char*> flags) {
    std::vector<OptionSpec> specs = optionSpecs({"--data", "--page"});
    for (const TextOption& o : kTextOptions) {
        specs.push_back({o.name, true});
    }
    for (const IndexOption& o : kIndexOptions) {
        specs.push_back({o.name, true});
    }
    const std::vector<OptionSpec> own = optionSpecs(valued, flags);
    specs.insert(specs.end(), own.begin(), own.end());
    return specs;
}

std::optional<std::string> applySetupOption(std::string_view name, std::string_view value, SetupOptions& options) {
    if (name == "--data") {
        options.dataDir = std::string(value);
    } else if (name == "--page") {
        const auto page = engine::pageFromTag(value);
        if (!page) {
            return "bad page '" + std::string(value) + "' (Hunt, Targ, Youth or Orvk)";
        }
        options.setup.page = *page;
    }
    for (const TextOption& o : kTextOptions) {
        if (name == o.name) {
            options.setup.*o.field = std::string(value);
        }
    }
    for (const IndexOption& o : kIndexOptions) {
        if (name != o.name) {
            continue;
        }
        // Any index a radio group's ItemIndex can hold goes to the selection as given.
        try {
            options.setup.*o.field = engine::toInteger(value);
        } catch (const engine::EConvertError&) {
            return "option " + std::string(name) + " needs an item index, a whole number from -2147483648 to " +
                   "2147483647, not '" + std::string(value) + "'";
        }
    }
    return std::nullopt;
}

std::optional<std::string> unusableSetup(const engine::BowSetup& setup, const engine::SelectionResult& result) {
    for (const TextOption& o : kTextOptions) {
        const std::string& text = setup.*o.field;
        try {
            engine::toInteger(text);
        } catch (const engine::EConvertError&) {
            return "option " + std::string(o.name) + " needs a whole number, not '" + text + "'";
        }
    }
    if (!result.pageRulesRan) {
        return "nothing was computed for this setup: the Hunting and Target pages are computed only once the "
               "bow and point weights have two digits or more and the arrow length has two, as the window "
               "waits while they are typed";
    }
    return std::nullopt;
}

int recommendCommand(std::span<const std::string_view> args) {
    SetupOptions options;
    engine::BowSetup& setup = options.setup;
    std::optional<std::string>& dataDir = options.dataDir;
    bool json = false;

    if (asksForHelp(args)) {
        std::fprintf(stdout, "usage: arrowsel-cli\n%s", kRecommendUsage);
        return kExitOk;
    }
    CommandLine line;
    if (const auto problem = readCommandLine(args, withSetupOptions({}, {"--json"}), line)) {
        return usageError(*problem);
    }
    for (const auto& [name, value] : line.options) {
        json = json || name == "--json";
        if (const auto problem = applySetupOption(name, value, options)) {
            return usageError(*problem);
        }
    }

    const std::optional<std::filesystem::path> chosen = chooseDataFolder(dataDir);
    if (!chosen) {
        return kExitFailure;
    }
    const std::filesystem::path& folder = *chosen;
    engine::SelectionEngine selection(folder);
    const engine::SelectionResult result = selection.run(setup);

    using Kind = engine::RunError::Kind;
    if (result.error.kind == Kind::Table || result.error.kind == Kind::File) {
        std::string message = result.error.message;
        for (char& c : message) {
            if (c == '\r') {
                c = '\n';
            }
        }
        std::fprintf(stderr, "arrowsel-cli: %s\n", message.c_str());
        return kExitFailure;
    }
    if (!result.error) {
        if (const auto problem = unusableSetup(setup, result)) {
            std::fprintf(stderr, "arrowsel-cli recommend: %s\n", problem->c_str());
            return kExitConversionError;
        }
    }
    const std::string text = json ? toJson(result) : toText(result);
    std::fwrite(text.data(), 1, text.size(), stdout);
    if (result.error.kind == Kind::Conversion) {
        std::fprintf(stderr, "arrowsel-cli: %s\n", result.error.message.c_str());
        return kExitConversionError;
    }
    return kExitOk;
}

} // namespace arrowsel::cli
