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
    EXPECT_NE(o.out.find("\"colors_rgb\": [\"#FFFFD5\", \"#FFFFD5\", \"#B9FFDC\", \"#FFCBB3\", \"#FFFFFF\""),
              std::string::npos)
        << o.out;
    EXPECT_NE(o.out.find("\"version\": 1}\n"), std::string::npos) << o.out;
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

// A text the window's edit could not turn into a setup ends with a message and status 2, nothing
// on standard output; whole numbers off the chart still give the notice (above).
TEST_F(Cli, badNumbers_refusedWithAMessage) {
    fx.write();
    const std::string data = "--data=" + fx.folder().string();
    for (const std::vector<std::string>& bad : {std::vector<std::string>{"--bow-weight", "5"},
                                                {"--arrow-length", "29.5"},
                                                {"--page", "Targ", "--point-weight", "9"},
                                                {"--youth-bow-weight", "2x"},
                                                {"--arrow-length", "29.5", "--json"}}) {
        std::vector<std::string> args = {"recommend", data};
        args.insert(args.end(), bad.begin(), bad.end());
        const auto o = runCli(args, CliStderr::Kept);
        EXPECT_EQ(o.status, 2) << bad[1];
        EXPECT_EQ(o.out.rfind("arrowsel-cli recommend: ", 0), 0u) << o.out;
        EXPECT_EQ(o.out.find("Page:"), std::string::npos) << o.out;
    }
    EXPECT_EQ(runCli({"recommend", data, "--page", "Youth", "--bow-weight", "5"}).status, 0);
}

// A value is the next argument whatever it begins with; an option is named in full, and one
// mistyped or given a value it does not take is refused by its name, as is a stray argument.
TEST_F(Cli, optionsAreReadWhole) {
    fx.write();
    const std::string data = "--data=" + fx.folder().string();
    const auto dash = runCli({"recommend", data, "--page", "Targ", "--targ-bow-type", "-1", "--wheel=2147483647"});
    EXPECT_NE(dash.status, 64) << dash.out;
    EXPECT_NE(dash.out.find("Page: Targ"), std::string::npos) << dash.out;
    for (const std::vector<std::string>& wrong : {std::vector<std::string>{"--js"},
                                                  {"--json=yes"},
                                                  {"--wheel=2147483648"},
                                                  {"--brace", "1x"},
                                                  {"--cam"},
                                                  {"stray"},
                                                  {"-j"}}) {
        std::vector<std::string> args = {"recommend", data};
        args.insert(args.end(), wrong.begin(), wrong.end());
        const auto o = runCli(args, CliStderr::Kept);
        EXPECT_EQ(o.status, 64) << wrong[0];
        EXPECT_NE(o.out.find(wrong[0].substr(0, wrong[0].find('='))), std::string::npos) << o.out;
        EXPECT_EQ(o.out.find("Page:"), std::string::npos) << o.out;
    }
    const auto top = runCli({"--verbose"}, CliStderr::Kept);
    EXPECT_EQ(top.status, 64);
    EXPECT_NE(top.out.find("'--verbose'"), std::string::npos) << top.out;
}

TEST_F(Cli, helpOnEveryCommandAndVersion) {
    for (const std::vector<std::string>& help : {std::vector<std::string>{"--help"},
                                                 {"recommend", "-h"},
                                                 {"build-sheet", "--help"},
                                                 {"check-data", "--help"},
                                                 {"customers", "--help"},
                                                 {"customers", "init", "--help"},
                                                 {"customers", "copy", "--from", "x", "-h"},
                                                 {"customers", "find", "--help"},
                                                 {"customers", "export", "--help"},
                                                 {"customers", "reindex", "--help"}}) {
        const auto o = runCli(help);
        EXPECT_EQ(o.status, 0) << help[0];
        EXPECT_EQ(o.out.rfind("usage: arrowsel-cli", 0), 0u) << o.out;
    }
    const auto find = runCli({"customers", "find", "--help"}).out;
    EXPECT_NE(find.find("customers find PREFIX"), std::string::npos);
    EXPECT_EQ(find.find("customers copy"), std::string::npos) << find;
    const auto version = runCli({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out.rfind("arrowsel-cli ", 0), 0u) << version.out;
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
