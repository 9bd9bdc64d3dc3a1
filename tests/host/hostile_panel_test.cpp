// The whole panel under hostile host values and every possible click: nothing may crash or
// trip the sanitizers, and the module's shared doubles stay finite.
#include <cmath>
#include <limits>

#include "module/state_registry.h"
#include "module/tokens.h"
#include "tests/host_fixture.h"

namespace {
const f64 kHostile[] = {std::numeric_limits<f64>::quiet_NaN(), std::numeric_limits<f64>::infinity(),
                        -std::numeric_limits<f64>::infinity(), 1e300, -1e300, -1.0, 4294967296.0, 1e308, -1e308};

void expect_shared_doubles_finite(const char* when) {
    for (const VarTable* t = kStateTables; t->vars; ++t)
        for (u32 i = 0; i < t->count; ++i) {
            const VarInfo& v = t->vars[i];
            if (v.type != VarType::F64 && v.type != VarType::F32) continue;
            for (u32 k = 0; k < v.count; ++k)
                EXPECT_TRUE(std::isfinite(var_read(v, k))) << v.name << "[" << k << "] " << when;
        }
}
}  // namespace

class HostilePanel : public HostTest, public ::testing::WithParamInterface<f64> {};

TEST_P(HostilePanel, EveryTokenHostileForSecondsAtTwoRates) {
    host().place_all();
    for (f64 fps : {18.0, 60.0}) {
        host().set_fps(fps);
        for (u32 i = 0; i < kTokenNameCount; ++i)
            if (kTokenNames[i].id != 1 && kTokenNames[i].id != 604 && kTokenNames[i].id != 607)
                token(kTokenNames[i].id, GetParam());
        host().set_calc("(E:TIME OF DAY,Enum)", GetParam());
        seconds(3);
    }
    expect_shared_doubles_finite("after hostile tokens");
}
TEST_P(HostilePanel, HostileClocks) {
    host().place_all();
    seconds(1);
    token(604, GetParam());  // the tick counter follows the simulation time
    token(607, GetParam());
    seconds(2);
    token(604, 50.0);  // and the clock comes back, or runs backwards
    seconds(2);
    expect_shared_doubles_finite("after a hostile clock");
}
INSTANTIATE_TEST_SUITE_P(Values, HostilePanel, ::testing::ValuesIn(kHostile));

class ClickEverything : public HostTest {};

TEST_F(ClickEverything, EveryRectangleWithEveryEventOnAPoweredAndADeadPanel) {
    host().place_all();
    const u32 events[] = {MouseLeftSingle, MouseRightSingle, MouseMove, MouseDrag, MouseLeftSingle | MouseRepeat};
    for (int pass = 0; pass < 2; ++pass) {
        token(759, pass == 0 ? 24.0 : 0.0);
        frames(2);
        for (GaugeHeader* const* g = Linkage.gauges; *g; ++g) {
            for (const MouseRect* r = (*g)->mouse_rects; r && r->kind != MouseRectEnd; ++r) {
                if (r->kind != MouseRectChild) continue;
                for (u32 ev : events) {
                    // Corners and centre of the box.
                    host().click(*g, r->x, r->y, ev);
                    host().click(*g, r->x + r->w / 2, r->y + r->h / 2, ev);
                    host().click(*g, r->x + r->w - 1, r->y + r->h - 1, ev);
                }
                frames(1);
            }
        }
    }
    frames(20);
    expect_shared_doubles_finite("after every click");
}
