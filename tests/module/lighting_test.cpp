// The lighting walk, on a gauge built here from the same tables a real gauge uses.
#include <cstring>

#include "module/gauge.h"
#include "module/lighting.h"
#include "tests/host_fixture.h"
#include "lighting/state.h"

namespace {
GaugeHeader walk_gauge_header;
void FSAPI walk_gauge_update(GaugeHeader*, i32, u32) {}

enum { Background, Legend, Lamp, Switch, kN };
const ElementDef kDefs[kN] = {
    el::Static(1, 0, 0),
    el::Static(2, 0, 0, ImageLuminous),
    el::Icon(3, 0, 0, ImageBright | ImageHidden),  // a lamp with its own bright image: not walked
    el::Icon(4, 0, 0, ImageHidden),
};
const RectDef kRects[] = {rect::Click(0, 0, 10, 10, CursorHand, MouseLeftSingle, nullptr)};
Gauge<kN, 1> walk_gauge(walk_gauge_header, "walk test", 10, walk_gauge_update, kDefs, kRects);

constexpr LightWalk kWalk{2, walk_positions({Background, Legend, Switch})};

enum Lit { Dark, Lum, Bright };
Lit lit(size_t pos) {
    const u32 f = walk_gauge.el(pos)->image_flags;
    EXPECT_FALSE((f & ImageLuminous) && (f & ImageBright));
    return (f & ImageBright) ? Bright : (f & ImageLuminous) ? Lum : Dark;
}
}  // namespace

// Every zone but 2 is lit, so only zone 2 counts. Rows run in order without a reset, so each also
// checks the swap from the row before. The switch is hidden and is lit all the same, staying hidden;
// the lamp outside the set keeps its own bright image whatever the zone.
TEST(LightWalk, ZoneAndBrightStepDecideTheTwoBits) {
    struct Case { u8 zone_byte, bright; Lit want; } cases[] = {
        {1, 0, Lum}, {1, 1, Bright}, {1, 2, Lum}, {1, 1, Bright}, {0, 1, Dark}, {2, 1, Dark}, {255, 0, Dark},
    };
    std::memset(light_zone, 1, sizeof light_zone);
    for (const Case& c : cases) {
        light_zone[2] = c.zone_byte;
        annunciator_bright = c.bright;
        light_walk(walk_gauge.header(), kWalk);
        for (size_t pos : {size_t(Background), size_t(Legend), size_t(Switch)})
            EXPECT_EQ(lit(pos), c.want) << "zone " << int(c.zone_byte) << " bright " << int(c.bright) << " pos " << pos;
        EXPECT_TRUE(hidden(walk_gauge.el(Switch)));
        EXPECT_EQ(walk_gauge.el(Lamp)->image_flags, ImageBright | ImageHidden);
    }
}
