// Navigation-source switch (INS above, V/L below). Its per-frame callback is also the module's
// link to the host's flight-plan blocks: it binds them and converts the data block.
// Reads: light_zone, annunciator_bright, the host GPS data block, tokens 827, 848, 107, 81, 86
// Writes: ins_source_sw, ap_vl_mode, gps_data_ptr, gps_request_ptr, the gps_ variables,
//         ap_nav_course_deg, ins_hdg_mag_deg, ins_hdg_true_deg
#include "autoflight/state.h"
#include "module/gauge.h"
#include "module/lighting.h"
#include "module/switches.h"
#include "navigation/gps_link.h"
#include "navigation/state.h"

GaugeHeader gauge_ins_sw;

namespace {
enum Pos : size_t { Plate, LeverDown, LeverUp, kElements };

constexpr u32 kBmpPlate = 4195;
constexpr u32 kBmpLeverDown = 4227;
constexpr u32 kBmpLeverUp = 4224;
constexpr u32 kLever = ImageOption1 | ImageOption2;

constexpr u8 kIns = 1, kRadio = 0;

const ElementDef kElementDefs[kElements] = {
    //       bitmap          x   y   start flags
    el::Static(kBmpPlate,     0,  0, ImageOption1 | ImageLuminous),
    el::Icon(kBmpLeverDown,  16, 35, kLever),
    el::Icon(kBmpLeverUp,    16, 22, kLever | ImageHidden),
};

constexpr LightWalk kWalk{0, walk_positions({Plate})};

i32 FSAPI ins_source_set_ins(MousePoint*, u32) {
    switch_to(ins_source_sw, kIns);
    return 0;
}

i32 FSAPI ins_source_set_radio(MousePoint*, u32) {
    if (ins_source_sw != kRadio) ap_vl_mode = 0;
    switch_to(ins_source_sw, kRadio);
    return 0;
}

const RectDef kRects[] = {
    //          x  y   w   h   cursor      events           action
    rect::Click(5, 0,  37, 29, CursorHand, MouseLeftSingle, ins_source_set_ins),
    rect::Click(5, 29, 37, 29, CursorHand, MouseLeftSingle, ins_source_set_radio),
};

void FSAPI ins_sw_update(GaugeHeader*, i32 service, u32);

constexpr u32 kWidthMm = 47;
Gauge<kElements, sizeof kRects / sizeof kRects[0]> gauge(gauge_ins_sw, "ketravin ins_sw_kr60", kWidthMm, ins_sw_update,
                                                         kElementDefs, kRects);

void FSAPI ins_sw_update(GaugeHeader*, i32 service, u32) {
    if (service != ServicePreUpdate) return;
    light_walk(gauge.header(), kWalk);
    show_one_of(gauge, LeverDown, 2, ins_source_sw == kIns ? 1 : 0);
    gps_link_bind();
    gps_link_convert();
}
}  // namespace
