#include "ui/banner.h"

#include <gtest/gtest.h>

namespace orvanta::ui {
namespace {

TEST(BannerPlacement, TilesTheGradientBetweenThePicturesAndTheEnd) {
    const BannerPlacement p = PlaceBanner(500, 200, 40, 100);
    EXPECT_EQ(p.picturesX, 0);
    EXPECT_EQ(p.algenX, 400);
    EXPECT_EQ(p.gradientXs, (std::vector<int>{200, 240, 280, 320, 360}));
    // A last tile reaching under the end picture still starts before it.
    EXPECT_EQ(PlaceBanner(510, 200, 40, 100).gradientXs.back(), 400);
}

TEST(BannerPlacement, ANarrowStripShiftsThePicturesLeftAgainstTheEnd) {
    const BannerPlacement p = PlaceBanner(250, 200, 40, 100);
    EXPECT_EQ(p.algenX, 150);
    EXPECT_EQ(p.picturesX, -50);
    EXPECT_TRUE(p.gradientXs.empty());
    EXPECT_TRUE(PlaceBanner(300, 200, 40, 100).gradientXs.empty()); // exactly both: nothing between
}

} // namespace
} // namespace orvanta::ui
