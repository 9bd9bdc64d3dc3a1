// The CDU keyboard: page keys, the A/N mode, the two-digit DIRECT TO entry, CLR and ENT, the
// arrows and EXP that step sub-pages and views, and BRT/DIM for the text colour and backlight.
// Keys act at once on module variables and play no sound; the next frame shows the result.
// Reads: gps_plan_active, gps_wpt_count, gps_active_wpt, gps_lat_deg_signed, the unit's
//        knob, ATT flag, alignment count and departed flag
// Writes: the unit's page bytes, keyboard mode, heading reference, colour and backlight set;
//         ins_dto_tens, ins_dto_units, ins_dto_entry, ins_dto_state, ins_dto_index
#include <algorithm>
#include <cstdio>

#include "navigation/ins_cdu.h"
#include "navigation/state.h"

namespace {
constexpr u8 kModeA = 1, kModeN = 2;
constexpr u8 kNav = 3;                    // knob position
constexpr u8 kKnobStatusAligned = 4;      // STS key: knob below gives sub-page 1
constexpr u8 kAligned = 2;                // alignment count below: aligned
constexpr u8 kCountMagneticMax = 50;      // MAGNETIC accepted at or below
constexpr i32 kLatNorth = 73, kLatSouth = -60;
constexpr u8 kTrue = 1, kMagnetic = 2;

constexpr u8 kPrompt = 255, kHdgInvalid = 254, kLatLimit = 253, kPromptFirst = 128;
constexpr u8 kInstruLast = 4;
constexpr u8 kStsTest = 4, kStsApfd = 5;
constexpr u8 kCrsLast = 2, kWptLast = 97, kFplLast = 99, kRemoteLast = 3;

// ins_dto_entry
constexpr u8 kEntryIdle = 0, kEntryTens = 1, kEntryUnits = 2, kEntryFull = 3;
// ins_dto_state
constexpr u8 kDtoAccepted = 1, kDtoConfirmed = 2, kDtoSent = 3, kDtoCleared = 5, kDtoLaterAccepted = 6,
             kDtoLaterConfirmed = 7;

// Colour steps.
constexpr u16 kStep = 10, kBlueLow = 2;
constexpr u16 kRedBrtMax = 116, kGreenBrtMax = 245, kBlueDimMin = 12, kRedDimMin = 46;
constexpr u16 kFloorRed = 36, kFloorGreen = 115;

void show_only(const CduUnit& u, size_t index, u8 value, bool inop = false) {
    std::fill(u.page, u.page + kCduPages, u8(0));
    u.page[index] = value;
    if (inop) u.page[kPageInop] = 1;
}

void set_mode(const CduUnit& u, u8 mode) {
    u.an_mode = mode;
    std::snprintf(u.an_letter, 2, "%s", mode == kModeA ? "A" : "N");
}

u8 entry_restart(const CduUnit& u) { return u.an_mode == kModeN ? kEntryTens : kEntryIdle; }

void clear_entry() { ins_dto_tens = ins_dto_units = ins_dto_entry = 0; }

// Back to number entry after CLR or a refused number.
void restart_entry(const CduUnit& u) {
    ins_dto_tens = ins_dto_units = 0;
    ins_dto_entry = entry_restart(u);
    show_only(u, kPageDirectTo, 1);
}

bool aligned_in_nav(const CduUnit& u) { return u.msu_knob == kNav && u.align_count < kAligned; }

// One DIRECT TO step from the entry, confirm or execute sub-page.
void direct_to_enter(const CduUnit& u) {
    const u8 sub = u.page[kPageDirectTo];
    if (ins_dto_entry != kEntryFull) return;
    const u32 index = ins_dto_index, count = gps_wpt_count;
    if (sub == 1) {
        const bool first = ins_dto_state == 0;
        const bool ok = first ? index < count && ins_dto_index > gps_active_wpt
                              : count > 0 && index < count - 1 && ins_dto_index >= gps_active_wpt;
        if (ok) {
            show_only(u, kPageDirectTo, 2);
            ins_dto_state = first ? kDtoAccepted : kDtoLaterAccepted;
        } else {
            restart_entry(u);
            ins_dto_state = first ? 0 : kDtoCleared;
        }
    } else if (sub == 2) {
        show_only(u, kPageDirectTo, 3);
        ins_dto_state = ins_dto_state < kDtoConfirmed ? kDtoConfirmed : kDtoLaterConfirmed;
    } else if (sub == 3) {
        ins_dto_execute(u.page);
    }
}
}  // namespace

void cdu_key_page(const CduUnit& u, CduPageKey key) {
    if (u.att_mode != 0 || u.page[kPagePgm] != 0) return;
    const bool plan = gps_plan_active == 1;
    switch (key) {
        case CduPageKey::Pos: show_only(u, kPagePosition, 1); break;
        case CduPageKey::Crs:
            if (!plan) return;
            show_only(u, kPageCrsDataAuto, 1);
            break;
        case CduPageKey::Leg: show_only(u, kPageLegChange, 1, true); break;
        case CduPageKey::Wpt: show_only(u, kPageWptSelect, 1); break;
        case CduPageKey::Fpl:
            // The byte holds the sub-page; a host index past 98 has no leg row to show.
            show_only(u, kPageFlightPlan,
                      !plan ? 1 : u8(std::clamp<u32>(u32(gps_active_wpt) + (u.nav.departed == 1 ? 1 : 0), 1, kFplLast)));
            break;
        case CduPageKey::Data: show_only(u, kPageInstruData, 1); break;
        case CduPageKey::Cat: show_only(u, kPageCatalog, 1, true); break;
        case CduPageKey::Rmt: show_only(u, kPageRemote, 2, true); break;
        case CduPageKey::Sts: show_only(u, kPageSysSts, u.msu_knob < kKnobStatusAligned ? 1 : 2); break;
    }
    clear_entry();
}

void cdu_key_dir(const CduUnit& u) {
    if (u.att_mode != 0 || u.page[kPagePgm] != 0 || u.page[kPageDirectTo] != 0) return;
    show_only(u, kPageDirectTo, 1);
    if (gps_plan_active == 1 && u.an_mode == kModeN) ins_dto_entry = kEntryTens;
}

void cdu_key_an(const CduUnit& u) {
    if (u.an_mode == kModeA) {
        set_mode(u, kModeN);
        if (u.page[kPageDirectTo] == 1 && ins_dto_entry == kEntryIdle) ins_dto_entry = kEntryTens;
    } else {
        set_mode(u, kModeA);
    }
}

void cdu_key_digit(const CduUnit& u, u8 digit) {
    if (u.an_mode != kModeN || u.page[kPageDirectTo] != 1 || digit > 9) return;
    if (ins_dto_entry == kEntryTens) {
        ins_dto_tens = digit;
        ins_dto_entry = kEntryUnits;
    } else if (ins_dto_entry == kEntryUnits) {
        ins_dto_units = digit;
        ins_dto_entry = kEntryFull;
    }
}

void cdu_key_clr(const CduUnit& u) {
    if (u.att_mode != 0) return;
    if (u.page[kPagePgm] != 0) show_only(u, kPagePosition, 1);
    if (u.page[kPageDirectTo] != 0 && ins_dto_entry != kEntryIdle) restart_entry(u);
    if (u.page[kPageInstruData] >= kPromptFirst) {
        u.nav.hdg_ref = kTrue;
        show_only(u, kPageInstruData, 1);
    } else {
        ins_dto_state = ins_dto_state >= kDtoSent ? kDtoCleared : 0;
        ins_dto_index = 1;
    }
}

void cdu_key_ent(const CduUnit& u) {
    if (u.att_mode != 0) return;
    if (u.page[kPageInstruData] == kPrompt) {
        if (u.align_count > kCountMagneticMax) {
            show_only(u, kPageInstruData, kHdgInvalid);
        } else if (gps_lat_deg_signed > kLatNorth || gps_lat_deg_signed < kLatSouth) {
            show_only(u, kPageInstruData, kLatLimit);
        } else {
            u.nav.hdg_ref = kMagnetic;
            show_only(u, kPageInstruData, 1);
        }
        return;
    }
    const u8 remote = u.page[kPageRemote];
    if (remote >= 1 && remote <= kRemoteLast) {
        show_only(u, kPageRemote, remote, true);
        return;
    }
    direct_to_enter(u);
}

void cdu_key_up(const CduUnit& u) {
    u8* p = u.page;
    const bool n = u.an_mode == kModeN;
    if (n && p[kPageCrsDataAuto] != 0 && p[kPageCrsDataAuto] < kCrsLast) ++p[kPageCrsDataAuto];
    u8& instru = p[kPageInstruData];
    if (instru >= 1 && instru < kInstruLast) ++instru;
    else if (instru == kPrompt) instru = 1;
    u8& sts = p[kPageSysSts];
    if (sts >= 1 && sts < kStsTest) sts = kStsTest;
    else if (sts == kStsTest) sts = kStsApfd;
    if (n) {
        u8& sel = p[kPageWptDetail];
        if (sel != 0 && sel < gps_wpt_count && sel < kWptLast) ++sel;
    }
    if (p[kPageFlightPlan] != 0 && p[kPageFlightPlan] < kFplLast) ++p[kPageFlightPlan];
    if (n) {
        u8& wpt = p[kPageWptSelect];
        if (wpt != 0 && wpt < kWptLast) wpt = p[kPageWptDetail] != 0 ? p[kPageWptDetail] : u8(wpt + 1);
    }
    if (p[kPageRemote] != 0 && p[kPageRemote] < kRemoteLast) ++p[kPageRemote];
}

void cdu_key_down(const CduUnit& u) {
    u8* p = u.page;
    const bool n = u.an_mode == kModeN;
    if (n && p[kPageCrsDataAuto] > 1) --p[kPageCrsDataAuto];
    u8& instru = p[kPageInstruData];
    if (i8(instru) > 1) --instru;  // signed: the prompts stay
    else if (instru == 1) instru = kPrompt;
    u8& sts = p[kPageSysSts];
    if (n) {
        if (sts == kStsApfd) sts = kStsTest;
        else if (sts == kStsTest) sts = aligned_in_nav(u) ? 2 : 1;
    } else if (sts > 1) {
        --sts;
    }
    if (n && p[kPageWptDetail] > 1) --p[kPageWptDetail];
    if (p[kPageFlightPlan] > 1) --p[kPageFlightPlan];
    if (n) {
        u8& wpt = p[kPageWptSelect];
        if (wpt > 1) wpt = p[kPageWptDetail] != 0 ? p[kPageWptDetail] : u8(wpt - 1);
    }
    if (p[kPageRemote] > 1) --p[kPageRemote];
}

void cdu_key_exp(const CduUnit& u) {
    u8* p = u.page;
    if (p[kPageSysSts] != 0) {
        const u8 s = p[kPageSysSts];
        p[kPageSysStsView] = (s == kStsTest || s == kStsApfd) && p[kPageSysStsView] == 0 ? s : 0;
    }
    const u8 instru = p[kPageInstruData];
    if (instru >= 1 && instru < kPromptFirst) p[kPageInstruView] = p[kPageInstruView] == 0 ? instru : 0;
    const u8 wpt = p[kPageWptSelect];
    if (wpt != 0 && gps_plan_active == 1 && wpt <= gps_wpt_count)
        p[kPageWptDetail] = p[kPageWptDetail] == 0 ? wpt : 0;
    const u8 fpl = p[kPageFlightPlan];
    if (fpl != 0) {
        u8& time = p[kPageFplTime];
        u8& eta = p[kPageFplEta];
        u8& dbw = p[kPageFplDbw];
        if (time == 0 && eta == 0 && dbw == 0) {
            time = fpl;
        } else if (time != 0 && eta == 0 && dbw == 0) {
            time = 0;
            eta = fpl;
        } else if (time == 0 && eta != 0 && dbw == 0) {
            eta = 0;
            dbw = fpl;
        } else {
            time = eta = dbw = 0;
        }
    }
}

void cdu_key_brt(const CduUnit& u) {
    if (u.backlight_dim != 0) {
        u.backlight_dim = 0;
    } else if (u.text_red < kRedBrtMax) {
        u.text_red += kStep;
        u.text_green += kStep;
        u.text_blue = kBlueLow;
    } else if (u.text_green <= kGreenBrtMax) {
        u.text_red += kStep;
        u.text_green += kStep;
        u.text_blue += kStep;
    }
}

void cdu_key_dim(const CduUnit& u) {
    if (u.backlight_dim != 1) {
        u.backlight_dim = 1;
    } else if (u.text_blue >= kBlueDimMin) {
        u.text_red -= kStep;
        u.text_green -= kStep;
        u.text_blue -= kStep;
    } else if (u.text_red >= kRedDimMin) {
        u.text_red -= kStep;
        u.text_green -= kStep;
        u.text_blue = kBlueLow;
    } else {
        u.text_red = kFloorRed;
        u.text_green = kFloorGreen;
        u.text_blue = kBlueLow;
    }
}
