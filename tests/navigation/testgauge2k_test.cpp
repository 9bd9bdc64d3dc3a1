// The debug readout gauge through the host: index stepping, readout format, bounded text.
#include "navigation/state.h"
#include "tests/host_fixture.h"

namespace {
const char* kGauge = "testgauge2k";
enum { Line4 = 2, Line3, Line2, Line1 };
}  // namespace

class DebugReadout : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        place(kGauge);
    }
};

TEST_F(DebugReadout, ArrowsStepTheIndexWithinOneTo98) {
    EXPECT_TRUE(click(kGauge, 5, 5));  // down arrow at 1: nothing
    EXPECT_EQ(debug_readout_index, 1);
    for (int i = 0; i < 98; ++i) click(kGauge, 25, 5);
    EXPECT_EQ(debug_readout_index, 98) << "98 is the last entry";
    click(kGauge, 0, 16);
    EXPECT_EQ(debug_readout_index, 97);
    EXPECT_FALSE(click(kGauge, 5, 17)) << "below the arrows";
    EXPECT_FALSE(click(kGauge, 5, 5, MouseRightSingle)) << "left clicks only";
}

// Unpowered and unlit, as it always is.
TEST_F(DebugReadout, LinesShowTheTablesAtTheIndexWithSixDecimals) {
    ins1_dist_wpt0_nm = 12.5;
    ins1_fpl_rows[1] = 3;
    ins_leg_nm[1] = 7.25f;
    ins_leg_cum_nm[1] = 100.0f;
    ins_leg_nm[0] = 99.0f;  // entry 0 is never shown
    frames(1);
    EXPECT_EQ(text(kGauge, Line1), "12.500000");
    EXPECT_EQ(text(kGauge, Line2), "7.250000");
    EXPECT_EQ(text(kGauge, Line3), "3.000000");
    EXPECT_EQ(text(kGauge, Line4), "100.000000");
    // A single-precision entry is widened, not rounded to a nicer double.
    ins_leg_nm[2] = 0.1f;
    click(kGauge, 25, 5);
    frames(1);
    EXPECT_EQ(drawn(kGauge, Line2).value, f64(0.1f));
}

TEST_F(DebugReadout, HugeValuesStayInsideTheTextBuffer) {
    ins1_dist_wpt0_nm = 1e300;
    frames(1);
    const std::string t = text(kGauge, Line1);
    EXPECT_EQ(t.size(), size_t(reinterpret_cast<StringElement*>(element(kGauge, Line1))->max_chars));
    EXPECT_EQ(t.substr(0, 3), "100");
}
