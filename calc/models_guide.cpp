// SPDX-License-Identifier: GPL-3.0-or-later
#include "calc/models_guide.h"

#include "data/text.h"

namespace arrowsel::calc {

const GuideLinkInfo& guideLinkInfo(GuideLink link) {
    static const std::array<GuideLinkInfo, 4> links = {{
        {"HyperLblHunt", ARROWSEL_TR_NOOP("GuideLink", "Velmora Online Hunting Shafts Guide"),
         "https://velmora.example.com/guides/hunting-shafts"},
        {"HyperLblTarg", ARROWSEL_TR_NOOP("GuideLink", "Velmora Online Target Shafts Guide"),
         "https://velmora.example.com/guides/target-shafts"},
        {"HyperLblYouth", ARROWSEL_TR_NOOP("GuideLink", "Velmora Online Youth Shafts Guide"),
         "https://velmora.example.com/guides/youth-shafts"},
        {"HyperLblOrvik", ARROWSEL_TR_NOOP("GuideLink", "Orvik Online Shafts Guide"),
         "https://orvik.example.com/guides/shafts"},
    }};
    return links[static_cast<std::size_t>(link)];
}

std::optional<GuidePage> guidePageFor(std::string_view pageTag) {
    if (pageTag == "Hunt") {
        return GuidePage{1, ARROWSEL_TR_NOOP("GuideCaption", "2009 Hunting Shaft Models Guide"), GuideLink::Hunt};
    }
    if (pageTag == "Targ") {
        return GuidePage{2, ARROWSEL_TR_NOOP("GuideCaption", "2009 Target/Youth Shaft Models Guide"), GuideLink::Targ};
    }
    if (pageTag == "Youth") {
        return GuidePage{2, ARROWSEL_TR_NOOP("GuideCaption", "2009 Target/Youth Shaft Models Guide"), GuideLink::Youth};
    }
    if (pageTag == "Orvk") {
        return GuidePage{3, ARROWSEL_TR_NOOP("GuideCaption", "2009 Orvik Shaft Models Guide"), GuideLink::Orvik};
    }
    return std::nullopt;
}

} // namespace arrowsel::calc
