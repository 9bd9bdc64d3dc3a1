#include <gtest/gtest.h>

#include <cmath>

#include "module/numeric.h"

TEST(Lerp2, TheSinglePrecisionLineAndEqualAbscissae) {
    struct Case { f64 x, x1, x2, y1, y2, want; } cases[] = {
        {0.0, 0.0, 10.0, 0.0, 100.0, 0.0},  {10.0, 0.0, 10.0, 0.0, 100.0, 100.0},
        {20.0, 0.0, 10.0, 0.0, 100.0, 200.0},  // beyond x2 the line goes on
        {5.0, 2.0, 2.0, 7.0, 9.0, 7.0},     {2.0, 2.0, 2.0, -1.0, 9.0, -1.0},  // equal abscissae: y1
        // Slope 1/3 and the intercept are held in single precision: the result shows that rounding.
        {3.0, 0.0, 3.0, 0.0, 1.0, f64(f32(1.0 / 3.0)) * 3.0 + f64(f32(1.0 - (1.0 / 3.0) * 3.0))},
    };
    for (const Case& c : cases) EXPECT_EQ(lerp2(c.x, c.x1, c.x2, c.y1, c.y2), c.want) << c.x << " " << c.x1;
    EXPECT_NE(lerp2(3.0, 0.0, 3.0, 0.0, 1.0), 1.0);
}

TEST(PlaneBearing, CompassPointsOnScreenAndNever360) {
    // From (10, 10) on a screen whose y runs down.
    struct Case { f64 x, y; f32 want; } cases[] = {{10, 0, 0}, {20, 10, 90}, {10, 20, 180}, {0, 10, 270}, {20, 0, 45}};
    for (const Case& c : cases) EXPECT_EQ(plane_bearing(10, 10, c.x, c.y), c.want) << c.x << "," << c.y;
    // Points a hair to the left of straight up: the single-precision sum rounds to 360.
    for (f64 dx : {-1e-4, -5e-5, -1e-6, -1e-9}) {
        const f32 b = plane_bearing(0.0, 0.0, dx, -1000.0);
        EXPECT_TRUE(b >= 0.0f && b < 360.0f) << dx;
    }
    for (f32 b : {plane_bearing(0, 0, 0, 0), plane_bearing(NAN, 0, 0, 0)}) EXPECT_TRUE(b >= 0.0f && b < 360.0f);
}

TEST(PlaneDistance, UsesSinglePrecisionDifferences) {
    EXPECT_DOUBLE_EQ(plane_distance(3, 4, 0, 0), 5.0);
    EXPECT_EQ(plane_distance(0.0, 0.0, 0.1, 0.0), f64(f32(0.1)));
}

TEST(MaskTest, LowWordOnly) {
    TokenVar t{};
    token_store_i32(t, 0xC0);
    EXPECT_EQ(mask_test(t, 0x80) * 100 + mask_test(t, 0x40) * 10 + mask_test(t, 0x01), 110u);
    TokenVar zero_low{};
    zero_low.value[1] = 0xFFFFFFFFu;  // high word set, low word zero
    for (u32 mask : {0x1u, 0x40u, 0x80u, 0xFFFFFFFFu}) EXPECT_EQ(mask_test(zero_low, mask), 0u) << mask;
}

TEST(SatCast, HostGarbageNeverOverflows) {
    EXPECT_EQ(sat_i32(NAN, 7), 7) << "no number keeps what the caller held";
    EXPECT_EQ(sat_cast<i16>(-NAN, i16(-3)), -3);
    EXPECT_EQ(sat_i32(INFINITY, 7), INT32_MAX);
    EXPECT_EQ(sat_i32(-INFINITY, 7), INT32_MIN);
    EXPECT_EQ(sat_i32(1e300, 7), INT32_MAX);
    EXPECT_EQ(sat_i32(-2.9, 7), -2);
    EXPECT_EQ(sat_u32(-1.0, 7), 0u);
    EXPECT_EQ(sat_u32(4294967295.9, 7), 4294967295u);
    EXPECT_EQ(sat_u8(255.99, 7), 255);
    EXPECT_EQ(sat_u8(256.0, 7), 255);
}
