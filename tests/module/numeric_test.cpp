#include <gtest/gtest.h>

#include <cmath>

#include "module/numeric.h"

TEST(Lerp2, EndpointsAndExtrapolationFollowTheSinglePrecisionLine) {
    struct Case {
        f64 x, x1, x2, y1, y2, want;
    } cases[] = {
        {0.0, 0.0, 10.0, 0.0, 100.0, 0.0},
        {10.0, 0.0, 10.0, 0.0, 100.0, 100.0},
        {20.0, 0.0, 10.0, 0.0, 100.0, 200.0},  // beyond x2 the line goes on
        {-5.0, 0.0, 10.0, 0.0, 100.0, -50.0},
    };
    for (const Case& c : cases) EXPECT_DOUBLE_EQ(lerp2(c.x, c.x1, c.x2, c.y1, c.y2), c.want) << c.x;
}

TEST(Lerp2, SlopeAndInterceptAreRoundedToSingle) {
    // Slope 1/3 cannot be held exactly in single precision: the result shows that rounding.
    const f64 got = lerp2(3.0, 0.0, 3.0, 0.0, 1.0);
    const f64 want = f64(f32(1.0 / 3.0)) * 3.0 + f64(f32(1.0 - (1.0 / 3.0) * 3.0));
    EXPECT_EQ(got, want);
    EXPECT_NE(got, 1.0);
    // At an endpoint the value equals y to single precision only.
    EXPECT_NEAR(lerp2(0.0, 0.0, 3.0, 0.1, 1.0), 0.1, 1e-7);
}

TEST(Lerp2, EqualAbscissaeGiveTheFirstOrdinate) {
    EXPECT_EQ(lerp2(5.0, 2.0, 2.0, 7.0, 9.0), 7.0);
    EXPECT_EQ(lerp2(2.0, 2.0, 2.0, -1.0, 9.0), -1.0);
}

TEST(PlaneBearing, CompassPointsOnScreen) {
    EXPECT_EQ(plane_bearing(10, 10, 10, 0), 0.0f);     // straight above
    EXPECT_EQ(plane_bearing(10, 10, 20, 10), 90.0f);   // right
    EXPECT_EQ(plane_bearing(10, 10, 10, 20), 180.0f);  // below
    EXPECT_EQ(plane_bearing(10, 10, 0, 10), 270.0f);   // left
    EXPECT_EQ(plane_bearing(0, 0, 1, -1), 45.0f);
}

TEST(PlaneBearing, NeverReturns360) {
    // Points a hair to the left of straight up: the single-precision sum rounds to 360.
    for (f64 dx : {-1e-4, -5e-5, -1e-6, -1e-9}) {
        const f32 b = plane_bearing(0.0, 0.0, dx, -1000.0);
        EXPECT_GE(b, 0.0f) << dx;
        EXPECT_LT(b, 360.0f) << dx;
    }
    EXPECT_LT(plane_bearing(0, 0, 0, 0), 360.0f);
    const f32 nan_bearing = plane_bearing(NAN, 0, 0, 0);
    EXPECT_TRUE(nan_bearing >= 0.0f && nan_bearing < 360.0f);
}

TEST(PlaneDistance, UsesSinglePrecisionDifferences) {
    EXPECT_DOUBLE_EQ(plane_distance(0, 0, 3, 4), 5.0);
    EXPECT_DOUBLE_EQ(plane_distance(3, 4, 0, 0), 5.0);
    const f64 d = plane_distance(0.0, 0.0, 0.1, 0.0);
    EXPECT_EQ(d, f64(f32(0.1)));
}

TEST(MaskTest, LowWordOnly) {
    TokenVar t{};
    token_store_i32(t, 0xC0);
    EXPECT_EQ(mask_test(t, 0x80), 1u);
    EXPECT_EQ(mask_test(t, 0x40), 1u);
    EXPECT_EQ(mask_test(t, 0x01), 0u);
    TokenVar zero_low{};
    zero_low.value[1] = 0xFFFFFFFFu;  // high word set, low word zero
    for (u32 mask : {0x1u, 0x40u, 0x80u, 0xFFFFFFFFu}) EXPECT_EQ(mask_test(zero_low, mask), 0u) << mask;
}

TEST(SatCast, HostGarbageNeverOverflows) {
    EXPECT_EQ(sat_i32(NAN), 0);
    EXPECT_EQ(sat_i32(INFINITY), INT32_MAX);
    EXPECT_EQ(sat_i32(-INFINITY), INT32_MIN);
    EXPECT_EQ(sat_i32(1e300), INT32_MAX);
    EXPECT_EQ(sat_i32(-2.9), -2);
    EXPECT_EQ(sat_u32(-1.0), 0u);
    EXPECT_EQ(sat_u32(4294967295.9), 4294967295u);
    EXPECT_EQ(sat_u8(255.99), 255);
    EXPECT_EQ(sat_u8(256.0), 255);
}
