// Every instrument of this folder placed together under host values that are not numbers, are
// infinite, huge or negative, with the clocks thrown about: every value they publish stays finite.
#include <string>

#include "autoflight/state.h"
#include "tests/instruments/instruments_fixture.h"

TEST_F(Instruments, HostileTokensLeaveEveryPublishedValueFinite) {
    for (const char* g : {"ketravin alti_main_kr60", "ketravin alti_sec_kr60", "ketravin vsi_kr60", "ketravin tas_kr60",
                          "ketravin sat_kr60", "ketravin ralt_kr60", "ketravin chrono_kr60"})
        place(g);
    const u32 read[] = {1, 5, 6, 7, 10, 60, 64, 65, 74, 75, 76, 275, 283, 341, 350, 604, 614};
    const f64 bad[] = {kNaN, kInf, -kInf, 1e300, -1e300, -4e9, 4e9, 1e-310};
    ap_alt_alert_state = 3, inst_et_selector = 0, inst_chrono_state = 1;
    for (f64 v : bad) {
        for (u32 id : read) token(id, v);
        frames(3);
        token(60, 0.0), token(1, 5.0);  // in flight, and the tick count set back
        frames(2);
        for (f64 x : {inst_alti1_needle, inst_alti1_drum_alt_ft, inst_alti2_alt_ft, inst_alti2_needle,
                      inst_alti2_drum_alt_ft, inst_alti2_inhg100, inst_alti2_inhg_units, inst_alti2_hpa_units,
                      inst_tas_kt, inst_sat_c, inst_radio_alt_ft, inst_ralt_tape_pos, inst_ralt_dh_marker_pos})
            EXPECT_TRUE(std::isfinite(x)) << v;
        EXPECT_TRUE(inst_tas_kt == 0.0 || inst_tas_kt >= 120.0) << v;  // 0 until computed from numbers
        EXPECT_LE(inst_chrono_hand_s, 59) << v;
        for (size_t i = 9; i < 19; ++i) {  // the clock's ten digits: one digit or a blank each
            const std::string t = text("ketravin chrono_kr60", i);
            EXPECT_TRUE(t.size() == 1 && (t == " " || (t[0] >= '0' && t[0] <= '9'))) << v << " '" << t << "'";
        }
    }
}
