// SPDX-License-Identifier: GPL-3.0-or-later
// Data files that changed under the program: a shaft index older than its table, a notice file
// that is huge, cut inside a character, not quite UTF-8 or a named pipe. The run says what is wrong and shows no
// other shaft's data; it never hangs.

#include "data/dbf_table.h"
#include "engine/selection.h"
#include "tests/engine/chart_fixture.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace arrowsel::test {
namespace {

using engine::BowSetup;
using engine::Page;
using engine::RunError;

bool contains(const std::string& s, const std::string& part) {
    return s.find(part) != std::string::npos;
}

TEST(StaleSpecsIndex, runShowsNoShaft_andSaysToRebuildTheIndex) {
    EngineHarness h;
    ChartFixture::Row& row = h.fixture.row(Page::Hunt, 13);
    row = {{"SH1SIZE", "2213"}, {"SH1SPINE", ".610"}, {"SH2SIZE", "2315"}, {"SH2SPINE", ".400"}};
    h.fixture.addSpec({"2213.610", ".610", "XT Hunter", "XT", "9.25"});
    h.fixture.addSpec({"2315.400", ".400", "Big Game", "BG", "11.20"});
    ASSERT_FALSE(h.run(setupOn(Page::Hunt)).error);
    {
        // A maker's update rewrites the table in another order; specs.idx is left as it was.
        data::TDbfTable specs;
        specs.open(h.fixture.folder() / "Specs.DBF");
        for (specs.first(); !specs.eof(); specs.next()) {
            const std::string key = specs.fieldText("SPECKEY").substr(0, 8);
            const char* other = key == "2213.610" ? "2315.400" : key == "2315.400" ? "2213.610" : nullptr;
            if (other != nullptr) {
                specs.edit();
                specs.setFieldText("SPECKEY", other);
                specs.post();
            }
        }
    }
    engine::SelectionEngine engine(h.fixture.folder());
    const auto result = engine.run(setupOn(Page::Hunt));
    EXPECT_EQ(result.error.kind, RunError::Kind::Table);
    EXPECT_TRUE(contains(result.error.message, "specs.idx does not match the table")) << result.error.message;
    EXPECT_TRUE(contains(result.error.message, "Rebuild the index specs.idx from Specs.DBF.")) << result.error.message;
    for (const engine::Cell& cell : result.cells()) {
        EXPECT_FALSE(cell.shown);
        EXPECT_EQ(cell.model, "");
        EXPECT_EQ(cell.weight, "");
    }
}

class HostileNotice : public ::testing::Test {
protected:
    // A setup off the Hunting chart, so that the run reads the notice.
    engine::SelectionResult offChart() {
        h.run(setupOn(Page::Youth)); // writes the fixture
        BowSetup s = setupOn(Page::Hunt);
        s.arrowLength = "99";
        return h.run(s);
    }
    std::filesystem::path notice() const { return h.fixture.folder() / "invsel.txt"; }
    EngineHarness h;
};

TEST_F(HostileNotice, withoutLineEnd_readsOnlyTheCharactersShown) {
    h.run(setupOn(Page::Youth));
    {
        // 8 MB of one line; and the limit of what is read falls inside a three-byte character.
        std::ofstream out(notice(), std::ios::binary | std::ios::trunc);
        for (int i = 0; i < 8 * 1024 * 1024 / 3; ++i) {
            out << "\xE2\x82\xAC"; // the euro sign
        }
    }
    const auto result = offChart();
    ASSERT_FALSE(result.error) << result.error.message;
    ASSERT_EQ(result.notices.size(), 1u);
    std::string expected;
    for (int i = 0; i < 150; ++i) {
        expected += "\xE2\x82\xAC";
    }
    EXPECT_EQ(result.notices[0], expected);
}

TEST_F(HostileNotice, encodedSurrogate_isReadAsWindows1252NotPassedOnAsUtf8) {
    h.run(setupOn(Page::Youth));
    {
        // ED A0 80 has the shape of a three-byte character but encodes a UTF-16 surrogate, which
        // UTF-8 may not carry: the line is not UTF-8, so it is the classic code page's text.
        std::ofstream out(notice(), std::ios::binary | std::ios::trunc);
        out << "Off \xED\xA0\x80\r\n";
    }
    const auto result = offChart();
    ASSERT_FALSE(result.error) << result.error.message;
    ASSERT_EQ(result.notices.size(), 1u);
    EXPECT_EQ(result.notices[0], "Off \xC3\xAD\xC2\xA0\xE2\x82\xAC"); // "í", no-break space, "€"
}

TEST_F(HostileNotice, namedPipe_endsTheRunWithAFileErrorWithoutWaiting) {
    h.run(setupOn(Page::Youth));
    std::filesystem::remove(notice());
    ASSERT_EQ(::mkfifo(notice().c_str(), 0600), 0);
    const auto result = offChart();
    EXPECT_EQ(result.error.kind, RunError::Kind::File);
    EXPECT_TRUE(contains(result.error.message, "not a regular file")) << result.error.message;
    EXPECT_TRUE(contains(result.error.message, "invsel.txt")) << result.error.message;
}

} // namespace
} // namespace arrowsel::test
