// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "data/text.h"

#include <array>
#include <optional>
#include <string_view>

namespace arrowsel::calc {

// The four online guides of the models guide window, one per page of the main window.
enum class GuideLink { Hunt, Targ, Youth, Orvik };

struct GuideLinkInfo {
    const char* name; // the link label's object name
    const char* text;
    const char* url;
};

const GuideLinkInfo& guideLinkInfo(GuideLink link);
inline constexpr std::array<GuideLink, 4> kGuideLinks = {GuideLink::Hunt, GuideLink::Targ, GuideLink::Youth,
                                                         GuideLink::Orvik};

// What the guide shows for the page tag of the main window: one of the three pictures (1 hunting,
// 2 target and youth, 3 the second brand), the window caption and one link.
struct GuidePage {
    int picture;
    const char* caption;
    GuideLink link;
};

// nullopt for any text other than the four page tags.
std::optional<GuidePage> guidePageFor(std::string_view pageTag);

inline constexpr const char* kGuideCaption = ARROWSEL_TR_NOOP("GuideCaption", "2009 Shaft Models Guide");

} // namespace arrowsel::calc
