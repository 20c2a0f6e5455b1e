#include "shell/window_placement.h"

#include <climits>

#include <gtest/gtest.h>

namespace {

TEST(CentredWindowOrigin, CentresOnLargeScreensAndClampsOnSmallOnes) {
    struct Case {
        int width, height;
        WindowOrigin origin;
    };
    const Case cases[] = {
        {1920, 1080, {320, 140}},
        {1366, 768, {43, 0}},   // odd difference truncates, negative one clamps
        {1024, 768, {0, 0}},    // smaller than the window on both axes
        {1281, 801, {0, 0}},    // (1281 - 1280) / 2 truncates to 0
        {1282, 802, {1, 1}},
        {1280, 800, {0, 0}},
        {2560, 1440, {640, 320}},
        {3840, 2160, {1280, 680}},
        {0, 0, {0, 0}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(centred_window_origin(c.width, c.height), c.origin) << c.width << "x" << c.height;
}

TEST(CentredWindowOrigin, ExtremeMetricsNeitherOverflowNorGoNegative) {
    EXPECT_EQ(centred_window_origin(INT_MIN, INT_MIN), (WindowOrigin{0, 0}));
    EXPECT_EQ(centred_window_origin(INT_MAX, INT_MAX),
              (WindowOrigin{(INT_MAX - 1280) / 2, (INT_MAX - 800) / 2}));
}

}  // namespace
