// SPDX-License-Identifier: GPL-3.0-or-later
#include "calc/models_guide.h"

#include <gtest/gtest.h>
#include <set>
#include <string>

namespace arrowsel::calc {
namespace {

struct GuideCase {
    const char* tag;
    int picture;
    const char* caption;
    const char* link;
};

class ModelsGuidePage : public testing::TestWithParam<GuideCase> {};

TEST_P(ModelsGuidePage, tagChoosesPictureCaptionAndLink) {
    const auto page = guidePageFor(GetParam().tag);
    ASSERT_TRUE(page);
    EXPECT_EQ(page->picture, GetParam().picture);
    EXPECT_STREQ(page->caption, GetParam().caption);
    EXPECT_STREQ(guideLinkInfo(page->link).name, GetParam().link);
}

INSTANTIATE_TEST_SUITE_P(Tags, ModelsGuidePage,
                         testing::Values(GuideCase{"Hunt", 1, "2009 Hunting Shaft Models Guide", "HyperLblHunt"},
                                         GuideCase{"Targ", 2, "2009 Target/Youth Shaft Models Guide", "HyperLblTarg"},
                                         GuideCase{"Youth", 2, "2009 Target/Youth Shaft Models Guide", "HyperLblYouth"},
                                         GuideCase{"Orvk", 3, "2009 Orvik Shaft Models Guide", "HyperLblOrvik"}),
                         [](const testing::TestParamInfo<GuideCase>& row) { return std::string(row.param.tag); });

TEST(ModelsGuidePage, otherTagsShowNothing) {
    for (const char* tag : {"", "hunt", "Hunt ", "Orvik", "Target"}) {
        EXPECT_FALSE(guidePageFor(tag)) << '"' << tag << '"';
    }
}

TEST(ModelsGuideLinks, everyLinkIsDistinctAndPointsIntoTheReservedDomain) {
    std::set<std::string> urls;
    for (GuideLink link : kGuideLinks) {
        const std::string url = guideLinkInfo(link).url;
        EXPECT_EQ(url.rfind("https://", 0), 0u) << url;
        const std::string host = url.substr(8, url.find('/', 8) - 8);
        EXPECT_TRUE(host == "example.com" || host.ends_with(".example.com")) << url;
        urls.insert(url);
    }
    EXPECT_EQ(urls.size(), kGuideLinks.size());
}

} // namespace
} // namespace arrowsel::calc
