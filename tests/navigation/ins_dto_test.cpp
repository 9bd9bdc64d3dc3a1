// DIRECT TO: the request written into the host's block, the host taking it as its plan, and
// the ident tables saved and rebuilt to match; the request's own checks.
#include "tests/navigation/nav_fixture.h"
#include "navigation/state.h"

class DtoTest : public NavTest {
protected:
    void SetUp() override {
        NavTest::SetUp();
        place(kSwitch);
        place(kCdu1);
        plan(north_line(5), 1);
        frames(1);
    }
    void enter(u8 tens, u8 units, u8 state) {
        ins_dto_tens = tens;
        ins_dto_units = units;
        frames(1);  // the computer derives the waypoint index
        ins_dto_state = state;
        ins_dto_execute(ins1_cdu_page);
    }
    std::vector<std::string> request_idents() {
        std::vector<std::string> out;
        const u32 n = get<u32>(request(), 0xa8);
        for (u32 i = 0; i < n && i < 8; ++i)
            out.emplace_back(reinterpret_cast<const char*>(request() + kRequestArray + i * 64 + 0x38));
        return out;
    }
    std::vector<std::string> idents(size_t n) {
        std::vector<std::string> out;
        for (size_t i = 0; i < n; ++i) out.emplace_back(ins_wpt_ident[i]);
        return out;
    }
};

TEST_F(DtoTest, FirstAndLaterDirectToRebuildThroughTheHost) {
    using V = std::vector<std::string>;
    ASSERT_EQ(idents(5), (V{"A0", "A1", "A2", "A3", "A4"}));
    for (size_t off : {0x40, 0x48, 0x4c}) put<u32>(request(), off, 7);
    enter(0, 3, 2);  // first DIRECT TO to waypoint 3
    EXPECT_EQ(get<u32>(request(), 0x40), 1u) << "plan active";
    EXPECT_EQ(get<u32>(request(), 0x48), 0u);
    EXPECT_EQ(get<u32>(request(), 0x4c), 1u) << "active waypoint 1";
    EXPECT_EQ(get<u32>(request(), 0x04), 2u);
    EXPECT_EQ(request_idents(), (V{"<P>", "A2", "A3", "A4"}));
    EXPECT_EQ(get<i64>(request() + kRequestArray, 0x08), get<i64>(data(), 0x08)) << "present position first";
    for (size_t off : {0x20, 0x28, 0x30}) EXPECT_EQ(get<f64>(request() + kRequestArray, off), 0.0) << "no leg into it";
    EXPECT_EQ(ins_dto_state, 3);
    EXPECT_EQ(ins1_cdu_page[kPageCrsDataAuto], 1);
    frames(1);  // the host takes the request after the frame
    EXPECT_EQ(get<u32>(request(), 0x04), 0u);
    EXPECT_EQ(get<u32>(data(), 0xa8), 4u);
    for (int slot = 0; slot <= 4; ++slot) {  // the save pass: slots 0 .. N, one a frame
        frames(1);
        EXPECT_EQ(gps_wpt_count, 4u);
        EXPECT_EQ(ins_dto_state, 3) << "saving slot " << slot;
    }
    frames(1);
    EXPECT_EQ(ins_dto_state, 4) << "then the rebuild";
    EXPECT_EQ(ins1_plan_total_nm, 0.0) << "the running sum starts over";
    frames(20);
    EXPECT_EQ(ins_dto_state, 5);
    EXPECT_EQ(ins1_plan_total_nm, 0.0) << "and again as the rebuild ends";
    EXPECT_EQ(ins_dto_build_slot, 0u) << "ready for the next rebuild";
    EXPECT_EQ(idents(4), (V{"<P>", "A2", "A3", "A4"}));

    enter(0, 2, 7);  // a later DIRECT TO to waypoint 2 of the new plan
    EXPECT_EQ(request_idents(), (V{"<P>", "A3", "A4"}));
    EXPECT_EQ(ins_dto_state, 8);
    for (int f = 0; f < 20 && ins_dto_state != 9; ++f) frames(1);
    ASSERT_EQ(ins_dto_state, 9);
    EXPECT_EQ(ins1_plan_total_nm, 0.0) << "the running sum starts over";
    frames(20);
    EXPECT_EQ(ins_dto_state, 10);
    EXPECT_EQ(ins1_plan_total_nm, 0.0) << "and again as the rebuild ends";
    EXPECT_EQ(idents(3), (V{"<P>", "A3", "A4"}));
    EXPECT_EQ(gps_wpt_count, 3u);
}

TEST_F(DtoTest, RequestIsWrittenOnlyWhenEveryCheckHolds) {
    // The count the request carries, 0 for none written.
    const struct { const char* what; u8 tens, units, state; u32 count, request_array; u8 state_after; u32 sent; }
        cases[] = {
            {"waypoint before the plan", 0, 1, 2, 5, 1, 3, 0},
            {"waypoint past the plan", 0, 6, 5, 5, 1, 8, 0},
            {"more than 255 waypoints", 0, 3, 2, 256, 1, 3, 0},
            {"255 waypoints", 0, 3, 2, 255, 1, 3, 254},
            {"sent again before the host answered", 0, 3, 3, 5, 1, 8, 4},
            {"one waypoint", 0, 1, 5, 1, 1, 8, 0},
            {"no request array", 0, 3, 2, 5, 0, 3, 0},
        };
    for (const auto& c : cases) {
        put<u32>(data(), 0xa8, c.count);
        put<u32>(request(), 0xac, c.request_array ? addr(request() + kRequestArray) : 0);
        put<u32>(request(), 0x04, 0);
        put<u32>(request(), 0xa8, 0);
        ins1_cdu_page[kPageFlightPlan] = 7;
        enter(c.tens, c.units, c.state);
        EXPECT_EQ(get<u32>(request(), 0x04), c.sent ? 2u : 0u) << c.what;
        EXPECT_EQ(get<u32>(request(), 0xa8), c.sent) << c.what;
        EXPECT_EQ(ins_dto_state, c.state_after) << c.what;
        EXPECT_EQ(ins1_cdu_page[kPageFlightPlan], 0) << c.what;
        EXPECT_EQ(ins1_cdu_page[kPageCrsDataAuto], 1) << c.what;
    }
}

// A plan longer than the 99-slot tables: the save and rebuild stop at the last slot, and a slot
// whose saved source lies past the table reads empty.
TEST_F(DtoTest, DirectToOnAPlanLongerThanTheTables) {
    using V = std::vector<std::string>;
    plan(north_line(120, 0.01), 1);
    frames(2);
    ASSERT_EQ(ins_wpt_ident[98], std::string("A2"));
    enter(0, 3, 2);
    frames(300);
    EXPECT_EQ(gps_wpt_count, 119u);
    EXPECT_EQ(ins_dto_state, 5);
    EXPECT_EQ(idents(4), (V{"<P>", "A2", "A3", "A4"}));
    EXPECT_EQ(ins_wpt_ident[97], std::string("A2"));  // saved slot 98
    EXPECT_EQ(ins_wpt_ident[98], std::string(""));    // saved slot 99: past the table
    EXPECT_EQ(ins_wpt_ident_saved[0], std::string("A0"));
}

// A new host count in the middle of the rebuild starts the rebuild slot over.
TEST_F(DtoTest, ANewCountDuringTheRebuildClearsItsSlot) {
    enter(0, 3, 2);
    for (int f = 0; f < 40 && !(ins_dto_state == 4 && ins_dto_build_slot >= 2); ++f) frames(1);
    ASSERT_EQ(ins_dto_state, 4);
    ASSERT_GE(ins_dto_build_slot, 2u);
    put<u32>(data(), 0xa8, 6);
    frames(2);
    EXPECT_EQ(ins_dto_build_slot, 0u);
}
