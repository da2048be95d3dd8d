// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/gen/catalogue.h"
#include "tools/gen/charts.h"
#include "tools/gen/tables.h"

#include <charconv>
#include <cmath>
#include <gtest/gtest.h>
#include <string>

namespace arrowsel::sampledata {
namespace {

const std::filesystem::path kSources = std::filesystem::path(ARROWSEL_SOURCE_DIR) / "sampledata";

const Catalogue& catalogue() {
    static const Catalogue c = Catalogue::load(kSources);
    return c;
}

double number(std::string_view s) {
    double v = 0;
    const auto [ptr, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    EXPECT_TRUE(ec == std::errc() && ptr == s.data() + s.size()) << "'" << s << "'";
    return v;
}

TEST(SampleCatalogue, aluminiumSize2213_matchesHandComputedTube) {
    // 22/64 in outside, 0.013 in wall, 7075 at 2.81 g/cm3 and 71.7 GPa, worked by hand:
    // area = pi * t * (D - t) = 0.013508 in2 -> 9.598 gr/in; I = 1.8503e-4 in4 -> 0.4611 in.
    const Shaft s = makeShaft(catalogue().lineInfo("AL"), "2213");
    EXPECT_NEAR(s.od, 0.34375, 1e-9);
    EXPECT_NEAR(s.gpi, 9.598, 0.005);
    EXPECT_NEAR(s.spine, 0.4611, 0.0005);
    EXPECT_EQ(s.spineText(), ".461");
    EXPECT_EQ(s.key(), "2213.461");
}

TEST(SampleCatalogue, aluminiumWeightPerInch_growsWithWallAndDiameter) {
    const auto al = catalogue().line("AL");
    int compared = 0;
    for (const Shaft* a : al) {
        for (const Shaft* b : al) {
            const bool sameOd = a->size.substr(0, 2) == b->size.substr(0, 2);
            const bool sameWall = a->size.substr(2) == b->size.substr(2);
            if ((sameOd && b->wall > a->wall) || (sameWall && b->od > a->od)) {
                EXPECT_GT(b->gpi, a->gpi) << a->size << " vs " << b->size;
                ++compared;
            }
            if ((sameOd && b->wall > a->wall) || (sameWall && b->od > a->od)) {
                EXPECT_LT(b->spine, a->spine) << "a thicker or wider tube is stiffer: " << a->size << " vs " << b->size;
            }
        }
    }
    EXPECT_GT(compared, 10);
}

TEST(SampleCatalogue, carbonWallSolvedForSpine_deflectsByItsName) {
    for (const char* code : {"TL", "VR", "FL", "ST", "KE"}) {
        const Line& line = catalogue().lineInfo(code);
        for (const Shaft* s : catalogue().line(code)) {
            double ei = 0;
            if (line.kind == ShaftKind::Carbon) {
                ei = line.material.modulus * tubeSecondMoment(s->od, s->id);
            } else {
                const double coreOd = line.coreId + 2 * line.coreWall;
                ei = line.material.modulus * tubeSecondMoment(coreOd, s->id) +
                     line.wrap.modulus * tubeSecondMoment(s->od, coreOd);
            }
            EXPECT_NEAR(spineDeflection(ei) * 1000, number(s->size), 1e-6) << code << " " << s->size;
            EXPECT_GT(s->wall, 0.005) << code << " " << s->size;
            EXPECT_GT(s->gpi, 2.0) << code << " " << s->size;
            EXPECT_LT(s->gpi, 20.0) << code << " " << s->size;
        }
        // Within a line of one outside diameter, a stiffer shaft carries more material.
        const auto shafts = catalogue().line(code);
        for (std::size_t i = 1; i < shafts.size(); ++i) {
            EXPECT_LT(shafts[i]->gpi, shafts[i - 1]->gpi) << code << " " << shafts[i]->size;
        }
    }
}

TEST(SampleCatalogue, twoModelGpi_holdsPlainAndCoatedInFixedColumns) {
    int twoModel = 0;
    for (const Shaft& s : catalogue().shafts()) {
        const std::string gpi = s.gpiText();
        if (!s.twoModel()) {
            EXPECT_NEAR(number(gpi), s.gpi, 0.006) << s.size;
            continue;
        }
        ++twoModel;
        ASSERT_EQ(gpi.size(), 9u) << gpi;
        EXPECT_EQ(gpi[4], ',');
        EXPECT_NEAR(number(gpi.substr(0, 4)), s.gpi, 0.06) << gpi;
        EXPECT_NEAR(number(gpi.substr(5, 4)), s.gpiTwin, 0.06) << gpi;
        EXPECT_GT(s.gpiTwin, s.gpi);
        EXPECT_EQ(s.hmodels(), "RD,63");
        EXPECT_EQ(s.tmodels(), "N4,63");
    }
    EXPECT_GT(twoModel, 5);
}

TEST(SampleCatalogue, specificationKeys_areUniqueAndNoneBeginsAnother) {
    std::vector<std::string> keys;
    for (const Shaft& s : catalogue().shafts()) {
        if (s.made) {
            keys.push_back(s.key());
        }
    }
    EXPECT_TRUE(prefixClashes(keys).empty());
    EXPECT_EQ(prefixClashes({"2213.461", "2213.46", "400ST"}), std::vector<std::string>{"2213.46"});
}

TEST(SampleCatalogue, badSizeTexts_areRefused) {
    EXPECT_THROW(makeShaft(catalogue().lineInfo("AL"), "22x3"), std::runtime_error);
    EXPECT_THROW(makeShaft(catalogue().lineInfo("AL"), "221"), std::runtime_error);
    // A spine stiffer than a solid rod of the line's diameter cannot be made.
    EXPECT_THROW(makeShaft(catalogue().lineInfo("TL"), "5"), std::runtime_error);
}

TEST(SampleChartRule, requiredSpine_stiffensRowByRow) {
    const auto rules = loadChartRules(kSources);
    for (const auto& rule : rules) {
        for (int r = 2; r <= rule.rows; ++r) {
            EXPECT_LT(rule.spineForRow(r), rule.spineForRow(r - 1)) << rule.chart << " row " << r;
        }
    }
    EXPECT_DOUBLE_EQ(ruleFor(rules, "hunting").spineForRow(13), 0.400);
}

} // namespace
} // namespace arrowsel::sampledata
