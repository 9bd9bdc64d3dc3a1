// Fuel pump panel of the flight engineer: the two wing-tank panels (pump A and pump B of each
// side, four flow bars) and the centre-tank panel (LH and RH centre pumps, four flow bars, the
// shut-off valve levers drawn only). The switches are the master copy; the centre panel's frame
// turns them into the host's tank selectors, and the bars show the selectors back.
// Reads: tok_eng1_tank_selector, tok_eng2_tank_selector, fuel_qty_m_left, fuel_qty_m_right,
//        dc_normal_powered, light_zone, annunciator_bright
// Writes: fuel_pump_a_sw, fuel_pump_b_sw, fuel_ctr_pump_sw
#include "electrical/state.h"
#include "fuel/fuel_feed.h"
#include "fuel/fuel_keys.h"
#include "fuel/state.h"
#include "module/gauge.h"
#include "module/lighting.h"
#include "module/switches.h"

GaugeHeader gauge_fuel_pumps_left;
GaugeHeader gauge_fuel_pumps_right;
GaugeHeader gauge_fuel_pumps_center;

namespace {
constexpr u8 kZone = 4;
constexpr u8 kOn = 1, kOff = 0;
// A wing tank feeds through pump B from this quantity up, through pump A below it.
constexpr f64 kPumpBQty = 1.0;

constexpr u32 kBar = ImageHidden | ImageLuminous | ImageOption1 | ImageOption2;
constexpr u32 kLever = ImageOption1 | ImageOption2;
constexpr u32 kLeverHidden = ImageHidden | kLever;

constexpr u32 kBmpBarInLine = 1020, kBmpBarCross = 1021;
constexpr u32 kBmpLeverDown = 1022, kBmpLeverMiddle = 1023, kBmpLeverUp = 1024;

// ---- wing-tank panels -----------------------------------------------------------------------
enum SidePos : size_t {
    Background,
    AInLine1, ACross1, AInLine2, ACross2,
    BInLine1, BCross1, BInLine2, BCross2,
    ALever1Down, ALever1Up, ALever2Down, ALever2Up,
    BLever1Down, BLever1Middle, BLever1Up, BLever2Down, BLever2Middle, BLever2Up,
    kSideElements
};
constexpr LightWalk kSideWalk{kZone, walk_range(Background, BCross2)};

// Pump A is outboard: left on the engine 1 panel, right on the mirrored engine 2 panel.
constexpr i32 kLeftA = 24, kLeftB = 88, kRightA = 108, kRightB = 47, kBarY1 = 4, kBarY2 = 64, kLeverY = 26;

constexpr ElementDef side_line(size_t pos, i32 a_x, i32 b_x) {
    switch (pos) {
        case Background: return el::Static(1010, 0, 0, ImageLuminous | ImageOption1);
        case AInLine1: return el::Icon(kBmpBarInLine, a_x, kBarY1, kBar);
        case ACross1: return el::Icon(kBmpBarCross, a_x, kBarY1, kBar);
        case AInLine2: return el::Icon(kBmpBarInLine, a_x, kBarY2, kBar);
        case ACross2: return el::Icon(kBmpBarCross, a_x, kBarY2, kBar);
        case BInLine1: return el::Icon(kBmpBarInLine, b_x, kBarY1, kBar);
        case BCross1: return el::Icon(kBmpBarCross, b_x, kBarY1, kBar);
        case BInLine2: return el::Icon(kBmpBarInLine, b_x, kBarY2, kBar);
        case BCross2: return el::Icon(kBmpBarCross, b_x, kBarY2, kBar);
        case ALever1Down: return el::Icon(kBmpLeverDown, a_x - 8, kLeverY, kLeverHidden);
        case ALever1Up: return el::Icon(kBmpLeverUp, a_x - 8, kLeverY, kLever);
        case ALever2Down: return el::Icon(kBmpLeverDown, a_x + 8, kLeverY, kLeverHidden);
        case ALever2Up: return el::Icon(kBmpLeverUp, a_x + 8, kLeverY, kLever);
        case BLever1Down: return el::Icon(kBmpLeverDown, b_x - 8, kLeverY, kLeverHidden);
        case BLever1Middle: return el::Icon(kBmpLeverMiddle, b_x - 8, kLeverY, kLever);
        case BLever1Up: return el::Icon(kBmpLeverUp, b_x - 8, kLeverY, kLeverHidden);
        case BLever2Down: return el::Icon(kBmpLeverDown, b_x + 8, kLeverY, kLeverHidden);
        case BLever2Middle: return el::Icon(kBmpLeverMiddle, b_x + 8, kLeverY, kLever);
        default: return el::Icon(kBmpLeverUp, b_x + 8, kLeverY, kLeverHidden);
    }
}
struct SideDefs {
    ElementDef d[kSideElements];
};
constexpr SideDefs side_defs(i32 a_x, i32 b_x) {
    SideDefs out{};
    for (size_t i = 0; i < kSideElements; ++i) out.d[i] = side_line(i, a_x, b_x);
    return out;
}
constexpr SideDefs kLeftDefs = side_defs(kLeftA, kLeftB);
constexpr SideDefs kRightDefs = side_defs(kRightA, kRightB);

// Click rules of one side; `s` is 0 for engine 1, 1 for engine 2. A refused click is silent.
template <size_t s>
i32 FSAPI pump_a_on(MousePoint*, u32) {
    switch_to(fuel_pump_a_sw[s], kOn);
    fuel_pump_b_sw[s] = kOn;
    return 0;
}
template <size_t s>
i32 FSAPI pump_a_off(MousePoint*, u32) {
    if (fuel_ctr_pump_sw[s] == kOff && fuel_pump_b_sw[s] == kOff) return 0;
    switch_to(fuel_pump_a_sw[s], kOff);
    return 0;
}
template <size_t s>
i32 FSAPI pump_b_off(MousePoint*, u32) {
    if (fuel_ctr_pump_sw[s] == kOff) return 0;
    switch_to(fuel_pump_b_sw[s], kOff);
    fuel_pump_a_sw[s] = kOff;
    return 0;
}
template <size_t s>
i32 FSAPI ctr_pump_shut(MousePoint*, u32) {
    if (fuel_pump_a_sw[s] == kOff && fuel_pump_b_sw[s] == kOff) return 0;
    switch_to(fuel_ctr_pump_sw[s], kOff);
    return 0;
}

const RectDef kLeftRects[] = {
    //          x   y   w   h   cursor           events           action
    rect::Click(11, 22, 51, 21, CursorUpArrow,   MouseLeftSingle, pump_a_on<0>),
    rect::Click(11, 43, 51, 21, CursorDownArrow, MouseLeftSingle, pump_a_off<0>),
    rect::Click(75, 22, 51, 21, CursorHand,      MouseLeftSingle, click_switch<fuel_pump_b_sw, kOn, 0>),
    rect::Click(75, 43, 51, 21, CursorDownArrow, MouseLeftSingle, pump_b_off<0>),
};
const RectDef kRightRects[] = {
    rect::Click(95, 22, 51, 21, CursorUpArrow,   MouseLeftSingle, pump_a_on<1>),
    rect::Click(95, 43, 51, 21, CursorDownArrow, MouseLeftSingle, pump_a_off<1>),
    rect::Click(34, 22, 51, 21, CursorHand,      MouseLeftSingle, click_switch<fuel_pump_b_sw, kOn, 1>),
    rect::Click(34, 43, 51, 21, CursorDownArrow, MouseLeftSingle, pump_b_off<1>),
};

void FSAPI pumps_left_update(GaugeHeader*, i32 service, u32);
void FSAPI pumps_right_update(GaugeHeader*, i32 service, u32);
constexpr u32 kSideWidthMm = 156;
Gauge<kSideElements, 4> left_panel(gauge_fuel_pumps_left, "ketravin fuel_pumps_left_kr60", kSideWidthMm,
                                   pumps_left_update, kLeftDefs.d, kLeftRects);
Gauge<kSideElements, 4> right_panel(gauge_fuel_pumps_right, "ketravin fuel_pumps_right_kr60", kSideWidthMm,
                                    pumps_right_update, kRightDefs.d, kRightRects);

// A flow-bar window: the in-line or the cross-line image with normal DC, neither without.
template <typename G>
void show_bar(G& g, size_t in_line, size_t cross, bool powered, bool is_in_line) {
    show_if(g.el(in_line), powered && is_in_line);
    show_if(g.el(cross), powered && !is_in_line);
}

// fuel_pumps_side_update, for one side: wing tank and auxiliary selector values of that side.
void pumps_side_update(Gauge<kSideElements, 4>& g, size_t s, TokenVar& selector, f64 wing_qty, i32 wing,
                       i32 aux) {
    light_walk(g.header(), kSideWalk);  // 1
    const bool a_on = fuel_pump_a_sw[s] == kOn, b_on = fuel_pump_b_sw[s] == kOn;
    for (size_t lever : {ALever1Down, ALever2Down}) show_one_of(g, lever, 2, a_on ? 1 : 0);    // 2
    for (size_t lever : {BLever1Down, BLever2Down}) show_one_of(g, lever, 3, b_on ? 1 : 0);    // 3
    const i32 sel = tok_read_i32(selector);  // 4
    const bool powered = dc_normal_powered == 1;
    const bool a_in_line = sel == wing && wing_qty < kPumpBQty;  // 5
    show_bar(g, AInLine1, ACross1, powered, a_in_line);
    show_bar(g, AInLine2, ACross2, powered, a_in_line);
    const bool b_in_line = (sel == wing && wing_qty >= kPumpBQty) || sel == aux;  // 6
    show_bar(g, BInLine1, BCross1, powered, b_in_line);
    show_bar(g, BInLine2, BCross2, powered, b_in_line);
}

void FSAPI pumps_left_update(GaugeHeader*, i32 service, u32) {
    if (service != ServicePreUpdate) return;
    pumps_side_update(left_panel, 0, tok_eng1_tank_selector, fuel_qty_m_left, kTankLeft, kTankLeftAux);
}
void FSAPI pumps_right_update(GaugeHeader*, i32 service, u32) {
    if (service != ServicePreUpdate) return;
    pumps_side_update(right_panel, 1, tok_eng2_tank_selector, fuel_qty_m_right, kTankRight, kTankRightAux);
}

// ---- centre-tank panel ------------------------------------------------------------------------
enum CenterPos : size_t {
    CBackground,
    Eng1InLine, Eng1Cross, Eng2InLine, Eng2Cross,
    Valve1Bar, Valve2Bar,
    LhDown, LhMiddle, LhUp, RhDown, RhMiddle, RhUp,
    Valve1Lever, Valve2Lever,
    kCenterElements
};
constexpr LightWalk kCenterWalk{kZone, walk_range(CBackground, Valve2Bar)};

const ElementDef kCenterDefs[kCenterElements] = {
    //       bitmap            x    y   start flags
    el::Static(1012,           0,   0, ImageLuminous | ImageOption1),
    el::Icon(kBmpBarInLine,   38,  90, kBar),
    el::Icon(kBmpBarCross,    38,  90, kBar),
    el::Icon(kBmpBarInLine,  116,  90, kBar),
    el::Icon(kBmpBarCross,   116,  90, kBar),
    el::Icon(kBmpBarInLine,   38,  30, kBar),
    el::Icon(kBmpBarInLine,  116,  30, kBar),
    el::Icon(kBmpLeverDown,   36,  50, kLeverHidden),
    el::Icon(kBmpLeverMiddle, 36,  50, kLever),
    el::Icon(kBmpLeverUp,     36,  50, kLeverHidden),
    el::Icon(kBmpLeverDown,  114,  50, kLeverHidden),
    el::Icon(kBmpLeverMiddle,114,  50, kLever),
    el::Icon(kBmpLeverUp,    114,  50, kLeverHidden),
    el::Icon(kBmpLeverMiddle, 36,   8, kLever),
    el::Icon(kBmpLeverMiddle,114,   8, kLever),
};

const RectDef kCenterRects[] = {
    rect::Click(30,  45, 31, 21, CursorHand,      MouseLeftSingle, click_switch<fuel_ctr_pump_sw, kOn, 0>),
    rect::Click(30,  66, 31, 21, CursorDownArrow, MouseLeftSingle, ctr_pump_shut<0>),
    rect::Click(108, 45, 31, 21, CursorHand,      MouseLeftSingle, click_switch<fuel_ctr_pump_sw, kOn, 1>),
    rect::Click(108, 66, 31, 21, CursorDownArrow, MouseLeftSingle, ctr_pump_shut<1>),
};

void FSAPI fuel_pumps_center_update(GaugeHeader*, i32 service, u32);
Gauge<kCenterElements, 4> center_panel(gauge_fuel_pumps_center, "ketravin fuel_pumps_center_kr60", 168,
                                       fuel_pumps_center_update, kCenterDefs, kCenterRects);

void FSAPI fuel_pumps_center_update(GaugeHeader*, i32 service, u32) {
    if (service != ServicePreUpdate) return;
    light_walk(center_panel.header(), kCenterWalk);
    fuel_feed_step();
    // Display: levers, then the engine bars from the selectors read afresh, then the valve row.
    const size_t first_lever[2] = {LhDown, RhDown};
    for (size_t s = 0; s < 2; ++s) show_one_of(center_panel, first_lever[s], 3, fuel_ctr_pump_sw[s] == kOn ? 1 : 0);
    const bool powered = dc_normal_powered == 1;
    show_bar(center_panel, Eng1InLine, Eng1Cross, powered, tok_read_i32(tok_eng1_tank_selector) == kTankCenter);
    show_bar(center_panel, Eng2InLine, Eng2Cross, powered, tok_read_i32(tok_eng2_tank_selector) == kTankCenter);
    show_if(center_panel.el(Valve1Bar), powered);
    show_if(center_panel.el(Valve2Bar), powered);
}
}  // namespace
