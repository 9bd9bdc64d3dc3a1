// Which elements each gauge lights from which zone, one table per panel family: for every zone
// and bright step the walked elements take the zone's rendering, every other element keeps the
// night and bright bits it was stored with, and a lit face shows only while its zone is lit.
#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "lighting/state.h"
#include "tests/host_fixture.h"

namespace {
constexpr int kNoWalk = -1;
constexpr u32 kLitBits = ImageLuminous | ImageBright;

struct Lit {
    const char* gauge;
    int zone;                        // kNoWalk: no element ever changes its lighting bits
    const char* walked = "";         // chain positions, "1,3-19"; "1-" runs to the last element
    int lit_face = -1;               // shown only while the zone is lit
    bool reversed = false;           // bright step 1 gives luminous, anything else bright
    const char* luminous = nullptr;  // walked positions that take the luminous image, when fewer
};

std::set<size_t> positions(const char* list, size_t count) {
    std::set<size_t> out;
    for (const char* p = list; *p;) {
        char* end;
        const size_t first = std::strtoul(p, &end, 10);
        size_t last = first;
        if (*end == '-') {
            p = end + 1;
            end = const_cast<char*>(p);
            last = *p && *p != ',' ? std::strtoul(p, &end, 10) : count - 1;
        }
        for (size_t i = first; i <= last; ++i) out.insert(i);
        p = *end == ',' ? end + 1 : end;
    }
    return out;
}

class LitElements : public HostTest {
protected:
    // Places the family (in table order) and runs every zone byte and bright step through it.
    void check(const std::vector<Lit>& family) {
        std::map<std::string, std::vector<u32>> stored;
        for (const Lit& g : family) {
            place(g.gauge);
            for (ElementHeader* e : host().placed_instance(gauge(g.gauge))->elements)
                stored[g.gauge].push_back(e->image_flags & kLitBits);
        }
        for (int zone = -1; zone < 6; ++zone)
            for (u8 bright : {0, 1}) {  // zone bytes and the bright step only ever hold 0 or 1
                for (u8& z : light_zone) z = 0;
                if (zone >= 0) light_zone[zone] = 1;
                annunciator_bright = bright;
                frames(1);
                for (const Lit& g : family) expect_lit(g, stored[g.gauge], zone == g.zone, bright);
            }
    }
    void expect_lit(const Lit& g, const std::vector<u32>& stored, bool lit, u8 bright) {
        const size_t n = stored.size();
        const std::set<size_t> walked = positions(g.walked, n);
        const std::set<size_t> luminous = g.luminous ? positions(g.luminous, n) : walked;
        const bool bright_step = (bright == 1) != g.reversed;
        for (size_t pos = 0; pos < n; ++pos) {
            u32 want = stored[pos];
            if (walked.count(pos))
                want = !lit ? 0u : bright_step ? u32(ImageBright) : luminous.count(pos) ? u32(ImageLuminous) : 0u;
            EXPECT_EQ(element(g.gauge, pos)->image_flags & kLitBits, want)
                << g.gauge << " position " << pos << (lit ? ", zone lit" : ", zone dark") << ", bright " << int(bright);
        }
        if (g.lit_face >= 0) {
            EXPECT_EQ(hidden(element(g.gauge, size_t(g.lit_face))), !lit) << g.gauge << " lit face";
        }
    }
};
}  // namespace

TEST_F(LitElements, Instruments) {
    check({
        {"ketravin adi_fd_kr60", 0, "1-2,4-16,19", 1},
        {"ketravin adi_sec_kr60", 0, "0-1,3-5"},
        {"ketravin alti_main_kr60", 0, "1,3-", 1},  // not the face or the alert light
        {"ketravin alti_sec_kr60", 1, "1-", 1},
        {"ketravin aoa_kr60", 0, "1-", 1},
        {"ketravin asi_main_kr60", 0, "1-11", 1},  // never the bugs or the bug-set overlays
        {"ketravin asi_main2_kr60", 0, "1-11", 1},
        {"ketravin asi_sec_kr60", 1, "1-", 1},
        {"ketravin chrono_kr60", 0, "1,19", 1},  // the night dial and the seconds hand
        {"ketravin compass_kr60", 5, "1"},
        {"ketravin ralt_kr60", 0, "0-4,6-"},  // not the overlay
        {"ketravin sat_kr60", 1, "0-"},
        {"ketravin tas_kr60", 1, "0-"},
        {"ketravin vsi_kr60", 0, "1-", 1},
    });
}

TEST_F(LitElements, Fuel) {
    check({
        {"ketravin fuel_ind_fu_1_kr60", 4, "0-"},
        {"ketravin fuel_ind_fu_2_kr60", 4, "0-"},
        {"ketravin fuel_ind_qtty_m_left_kr60", 4, "0-"},
        {"ketravin fuel_ind_qtty_m_right_kr60", 4, "0-"},
        {"ketravin fuel_ind_qtty_a_center_kr60", 4, "0-"},
        {"ketravin fuel_ind_qtty_a_left_kr60", 4, "0-"},
        {"ketravin fuel_ind_qtty_a_right_kr60", 4, "0-"},
        {"ketravin fuel_pumps_left_kr60", 4, "0-8"},  // the background and flow bars, not the levers
        {"ketravin fuel_pumps_right_kr60", 4, "0-8"},
        {"ketravin fuel_pumps_center_kr60", 4, "0-6"},
        {"ketravin fuel_qtty_test_kr60", 4, "0"},
        {"ketravin fuel_qtty_reserve_1_kr60", 4, "0"},  // the lamp stays bright
        {"ketravin fuel_qtty_reserve_2_kr60", 4, "0"},
        {"ketravin fuel_valves_kr60", 4, "0,2,4,6,8,10,12,14,16,18,20,21"},  // the flow bars, not the knobs
        {"ketravin fuel_fuelused_kr60", 4, "0"},
        {"ketravin plane_weight_kr60", 1, "0-"},
    });
}

TEST_F(LitElements, LightingPanels) {
    check({
        {"ketravin ext_lt_kr60", 2, "0"},  // the plate, not the switch images
        {"ketravin map_lt_kr60", 5, "0"},
        {"ketravin panel_light_kr60", kNoWalk},
        {"ketravin panel_light_w_kr60", kNoWalk},
        {"ketravin signs_kr60", 2, "0"},
        {"ketravin switching_norm_kr60", 0, "0"},
        {"ketravin flt_deck_lt_kr60", 2, "0"},  // last: its frame writes the zones after its own walk
    });
}

TEST_F(LitElements, ElectricalMeters) {
    check({
        {"ketravin elec_sel_ind_dc_kr60", 4, "0"},  // the legends, not the pointer
        {"ketravin elec_sel_ind_ac_kr60", 4, "0"},
        {"ketravin elec_ind_dc_v_kr60", 4, "0-1"},
        {"ketravin elec_ind_dc_amps_kr60", 4, "0-1"},
        {"ketravin elec_ind_ac_v_kr60", 4, "0-1"},
        {"ketravin elec_ind_ac_frq_kr60", 4, "0-1"},
        {"ketravin elec_ind_ac_load1_kr60", 4, "0-1"},
        {"ketravin elec_ind_ac_load2_kr60", 4, "0-1"},
        {"ketravin elec_ind_ac_loadapu_kr60", 4, "0-1"},
    });
}

TEST_F(LitElements, Gear) {
    check({
        {"ketravin brakes_ind_kr60", 1, "1-", 1},
        {"ketravin gear_h_kr60", kNoWalk},  // the lever follows the tint instead
        {"ketravin gear_ind_kr60", kNoWalk},
        {"ketravin park_brk_lev_kr60", 3, "0"},
        {"ketravin park_brk_lev_big_kr60", 3, "0"},
    });
}

TEST_F(LitElements, Engines) {
    check({
        {"ketravin eng_ind_n1_1_kr60", 1, "1-", 1},
        {"ketravin eng_ind_n1_2_kr60", 1, "1-", 1},
        {"ketravin eng_ind_egt_1_kr60", 1, "1-", 1},
        {"ketravin eng_ind_egt_2_kr60", 1, "1-", 1},
        {"ketravin eng_ind_n2_1_kr60", 1, "1-", 1},
        {"ketravin eng_ind_n2_2_kr60", 1, "1-", 1},
        // Pounds: the lit pound face; the unlit kilogram face never takes the luminous image.
        {"ketravin eng_ind_ff_1_kr60", 1, "0-", 3, false, "1-"},
        {"ketravin eng_ind_ff_2_kr60", 1, "0-", 3, false, "1-"},
        {"ketravin eng_start_kr60", 5, "0"},
        {"ketravin engfire_levers_kr60", 2, "1,16-19", -1, true},  // the overlay and agent bars
        {"ketravin engomn_nac_temp_1_kr60", 4, "0-"},
        {"ketravin engomn_nac_temp_2_kr60", 4, "0-"},
        {"ketravin engomn_oil_press_1_kr60", 4, "0-"},
        {"ketravin engomn_oil_press_2_kr60", 4, "0-"},
        {"ketravin engomn_oil_temp_1_kr60", 4, "0-"},
        {"ketravin engomn_oil_temp_2_kr60", 4, "0-"},
        {"ketravin engomn_oil_qtty_1_kr60", 4, "0-"},
        {"ketravin engomn_oil_qtty_2_kr60", 4, "0-"},
        {"ketravin engomn_fuel_press_1_kr60", 4, "0-"},
        {"ketravin engomn_fuel_press_2_kr60", 4, "0-"},
        {"ketravin engomn_vib_kr60", 4, "0-"},
        {"ketravin engomn_vib_sw_kr60", 4, "0-"},
        {"ketravin loop_kr60", 4, "0"},
        {"ketravin hp_lev_lum_big_kr60", 3, "0"},
        {"ketravin hp_lev_1_kr60", kNoWalk},
        {"ketravin hp_lev_2_kr60", kNoWalk},
        {"ketravin hp_lev_1_big_kr60", kNoWalk},
        {"ketravin hp_lev_2_big_kr60", kNoWalk},
        {"ketravin n1_calc_kr60", 1, "0,2,14-15"},  // the background, legends and wheels; lamps stay bright
        {"ketravin rev_voy_left_kr60", kNoWalk},
        {"ketravin rev_voy_right_kr60", kNoWalk},
        {"ketravin throttles_kr60", kNoWalk},
        {"ketravin throttles_num_kr60", kNoWalk},
        {"ketravin throttles_big_kr60", 3, "0"},
    });
}

// A face that the walk skips still loses a night image stored on its record once its zone is
// dark, and a lit zone never gives it one.
TEST_F(LitElements, SkippedFacesDropAStoredNightImageInTheDark) {
    const struct { const char* gauge; int zone; size_t face; } kFaces[] = {
        {"ketravin eng_ind_n1_1_kr60", 1, 0}, {"ketravin eng_ind_n1_2_kr60", 1, 0},
        {"ketravin eng_ind_egt_1_kr60", 1, 0}, {"ketravin eng_ind_egt_2_kr60", 1, 0},
        {"ketravin eng_ind_n2_1_kr60", 1, 0}, {"ketravin eng_ind_n2_2_kr60", 1, 0},
        {"ketravin chrono_kr60", 0, 0},
    };
    for (const auto& f : kFaces) place(f.gauge);
    for (bool lit : {true, false}) {
        for (const auto& f : kFaces) {
            light_zone[f.zone] = lit ? 1 : 0;
            element(f.gauge, f.face)->image_flags |= ImageLuminous;
        }
        annunciator_bright = 0;
        frames(1);
        for (const auto& f : kFaces) {
            const ElementHeader* face = element(f.gauge, f.face);
            EXPECT_EQ(lit_luminous(face), lit) << f.gauge << (lit ? ", zone lit" : ", zone dark");
            EXPECT_FALSE(lit_bright(face)) << f.gauge;
        }
    }
    for (const auto& f : kFaces) element(f.gauge, f.face)->image_flags &= ~ImageLuminous;
    light_zone[0] = light_zone[1] = 1;
    frames(1);
    for (const auto& f : kFaces) EXPECT_FALSE(lit_luminous(element(f.gauge, f.face))) << f.gauge << ", zone lit";
}
