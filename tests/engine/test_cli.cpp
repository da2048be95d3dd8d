// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/engine/chart_fixture.h"
#include "tests/support/run_cli.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <sys/wait.h>

namespace arrowsel::test {
namespace {

const std::filesystem::path kCli = std::filesystem::path(ARROWSEL_BINARY_DIR) / "tools" / "arrowsel-cli";

class Cli : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::filesystem::exists(kCli)) {
            GTEST_SKIP() << "arrowsel-cli not built";
        }
    }
    ChartFixture fx;
};

TEST_F(Cli, recommendJson_defaultsOnHuntingPage) {
    fx.row(engine::Page::Hunt, 13)["SH2SIZE"] = "2213";
    fx.row(engine::Page::Hunt, 13)["SH2SPINE"] = ".610";
    fx.addSpec({"2213.610", "say \"hi\"", "A\\B", "", "9.25"});
    fx.write();
    const auto o = runCli({"recommend", "--data", fx.folder().string(), "--json"});
    EXPECT_EQ(o.status, 0);
    EXPECT_NE(o.out.find("\"page\": \"Hunt\""), std::string::npos) << o.out;
    EXPECT_NE(o.out.find("\"notices\": []"), std::string::npos) << o.out;
    EXPECT_NE(o.out.find("\"error\": null"), std::string::npos) << o.out;
    EXPECT_NE(o.out.find("{\"size\": \"2213\", \"spine\": \"say \\\"hi\\\"\", \"model\": \"A\\\\B\", \"weight\": "
                         "\"278\", \"shown\": true, \"size_enabled\": true, \"weight_enabled\": true, \"color\": "
                         "\"0xD5FFFF\"}"),
              std::string::npos)
        << o.out;
    EXPECT_NE(o.out.find("\"spine_labels\": []"), std::string::npos) << o.out;
}

TEST_F(Cli, recommendJson_noticeAndNestedRunReported) {
    fx.write();
    const auto o =
        runCli({"recommend", "--data", fx.folder().string(), "--page", "Orvk", "--bow-weight", "6", "--json"});
    EXPECT_EQ(o.status, 0);
    EXPECT_NE(o.out.find("\"notices\": [\"Setup is off the chart.\"]"), std::string::npos) << o.out;
    EXPECT_NE(o.out.find("\"bow_weight\": \"60\""), std::string::npos) << o.out;
    EXPECT_NE(o.out.find("\"size\": \"R15\""), std::string::npos) << o.out;
    EXPECT_NE(o.out.find("\"color\": null"), std::string::npos) << o.out;
}

TEST_F(Cli, recommendJson_targetListsSpineLabels) {
    fx.write();
    const auto o = runCli({"recommend", "--data=" + fx.folder().string(), "--page=Targ", "--wheel", "2", "--json"});
    EXPECT_EQ(o.status, 0);
    EXPECT_NE(o.out.find("\"spine_labels\": [\"r13\", \"r13\""), std::string::npos) << o.out;
}

TEST_F(Cli, recommend_statusesForConversionTableAndUsageErrors) {
    fx.write();
    const auto conversion = runCli({"recommend", "--data", fx.folder().string(), "--bow-weight", "6x", "--json"});
    EXPECT_EQ(conversion.status, 2);
    EXPECT_NE(conversion.out.find("\"error\": \"'6x' is not a valid integer value\""), std::string::npos)
        << conversion.out;
    EXPECT_EQ(runCli({"recommend", "--data", (fx.folder() / "nowhere").string()}).status, 1);
    EXPECT_EQ(runCli({"recommend", "--colour", "red"}).status, 64);
    EXPECT_EQ(runCli({"recommend", "--page", "Hunting"}).status, 64);
    EXPECT_EQ(runCli({"recommend", "--bow-type"}).status, 64);
    EXPECT_EQ(runCli({"frobnicate"}).status, 64);
}

TEST_F(Cli, recommendText_showsGridAndNotice) {
    fx.write();
    const auto o = runCli({"recommend", "--data", fx.folder().string(), "--arrow-length", "99"});
    EXPECT_EQ(o.status, 0);
    EXPECT_NE(o.out.find("Notice: Setup is off the chart."), std::string::npos) << o.out;
    EXPECT_NE(o.out.find("R1 "), std::string::npos) << o.out;
}

// End to end on the generated sample data (or the folder named by ARROWSEL_SAMPLE_DATA); skipped
// when it has not been built.
TEST_F(Cli, sampleData_everyPageCompletes) {
    std::filesystem::path data;
    if (const char* given = std::getenv("ARROWSEL_SAMPLE_DATA")) {
        data = given;
    }
    for (const auto& candidate :
         {std::filesystem::path(ARROWSEL_BINARY_DIR) / "sampledata" / "data",
          std::filesystem::path(ARROWSEL_SOURCE_DIR) / "build" / "default" / "sampledata" / "data"}) {
        if (data.empty() && std::filesystem::exists(candidate)) {
            data = candidate;
            break;
        }
    }
    if (data.empty()) {
        GTEST_SKIP() << "no generated sample data";
    }
    for (const char* page : {"Hunt", "Targ", "Youth", "Orvk"}) {
        const auto o = runCli({"recommend", "--data", data.string(), "--page", page, "--json"});
        EXPECT_EQ(o.status, 0) << page << "\n" << o.out;
        EXPECT_NE(o.out.find(std::string("\"page\": \"") + page + "\""), std::string::npos) << o.out;
        EXPECT_NE(o.out.find("\"shown\": true"), std::string::npos) << o.out;
    }
}

} // namespace
} // namespace arrowsel::test
