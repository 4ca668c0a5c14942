#include "render/LayoutGeometry.h"
#include "tests/fixtures/SameRect.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

const PixelRect kFullHd{0, 0, 1920, 1080};
const PixelSize kPicture{480, 360};
const PixelSize kFullHdCapture{1920, 1080};

TEST(RoundHalfUp, TruncatesTowardZeroAfterAddingAHalf) {
  EXPECT_EQ(RoundHalfUp(-179.5), -179);
  EXPECT_EQ(RoundHalfUp(-1.5), -1);
  EXPECT_EQ(RoundHalfUp(2.5), 3);
  EXPECT_EQ(RoundHalfUp(2.49), 2);
  EXPECT_EQ(RoundHalfUp(-0.7), 0);
}

TEST(RoundHalfUp, ClampsWhatDoesNotFitInsteadOfOverflowing) {
  EXPECT_EQ(RoundHalfUp(1e12), std::numeric_limits<int32_t>::max());
  EXPECT_EQ(RoundHalfUp(-1e12), std::numeric_limits<int32_t>::min());
  EXPECT_EQ(RoundHalfUp(std::numeric_limits<double>::quiet_NaN()), 0);
}

TEST(Centre, PutsTheOddPixelOnTheLeftAndTop) {
  const PixelPoint odd = Centre({10, 10}, {5, 5}, {100, 200});
  EXPECT_EQ(odd.x, 103);  // difference 5 gives offset 3
  EXPECT_EQ(odd.y, 203);
  const PixelPoint overflowing = Centre({10, 10}, {14, 13}, {0, 0});
  EXPECT_EQ(overflowing.x, -1);  // -4 gives -1
  EXPECT_EQ(overflowing.y, -1);  // -3 gives -1 (-1.5 + 0.5)
}

TEST(Magnify, EachModeScalesAsItsNameSays) {
  const PixelSize target{1920, 1080};
  EXPECT_EQ(Magnify(target, kPicture, MagType::ActualSize).width, 480);
  EXPECT_EQ(Magnify(target, kPicture, MagType::StretchMonitor).height, 1080);
  const PixelSize fit = Magnify(target, kPicture, MagType::FitMonitor);
  EXPECT_EQ(fit.width, 1440);
  EXPECT_EQ(fit.height, 1080);
  const PixelSize fill = Magnify(target, kPicture, MagType::FillMonitor);
  EXPECT_EQ(fill.width, 1920);
  EXPECT_EQ(fill.height, 1440);
  EXPECT_EQ(Magnify(target, kPicture, MagType::FillDesktop).height, 1440);
  EXPECT_EQ(Magnify(target, kPicture, MagType::FitDesktop).width, 1440);
  EXPECT_EQ(Magnify(target, kPicture, 6).width, 480);  // unknown values behave as actual size
  EXPECT_EQ(Magnify(target, kPicture, -1).height, 360);
}

TEST(Magnify, RoundsEachSideOnItsOwn) {
  // s = min(1000 / 3, 1000 / 7) = 142.857..: 3 * s = 428.57 -> 429, 7 * s = 1000.
  const PixelSize fit = Magnify({1000, 1000}, {3, 7}, MagType::FitMonitor);
  EXPECT_EQ(fit.width, 429);
  EXPECT_EQ(fit.height, 1000);
}

TEST(Magnify, APictureWithoutAreaIsLeftAloneInsteadOfDividingByZero) {
  EXPECT_EQ(Magnify({1920, 1080}, {0, 360}, MagType::FillMonitor).width, 0);
  EXPECT_EQ(Magnify({1920, 1080}, {480, 0}, MagType::FitMonitor).height, 0);
}

TEST(ViewGeometry, FitMonitorOnAWideScreenHasSideBarsOnly) {
  const ViewGeometry v = ComputeViewGeometry(kFullHd, kPicture, MagType::FitMonitor, kFullHdCapture);
  EXPECT_EQ(v.picturePosition.x, 240);
  EXPECT_EQ(v.picturePosition.y, 0);
  EXPECT_TRUE(SameRect(v.bars[LeftBar], {0, 0, 240, 1080}));
  EXPECT_TRUE(SameRect(v.bars[RightBar], {1680, 0, 240, 1080}));
  EXPECT_TRUE(SameRect(v.bars[TopBar], {240, 0, 1440, 0}));
  EXPECT_TRUE(SameRect(v.bars[BottomBar], {240, 1080, 1440, 0}));
  EXPECT_TRUE(SameRect(v.background, kFullHd));  // the monitor's own capture lands on the area
}

TEST(ViewGeometry, FillMonitorOverflowsUpwardsWithoutBars) {
  const ViewGeometry v = ComputeViewGeometry(kFullHd, kPicture, MagType::FillMonitor, kFullHdCapture);
  EXPECT_EQ(v.picture.width, 1920);
  EXPECT_EQ(v.picture.height, 1440);
  EXPECT_EQ(v.picturePosition.x, 0);
  EXPECT_EQ(v.picturePosition.y, -179);  // -179.5 truncated toward zero
  for (const PixelRect& bar : v.bars) EXPECT_TRUE(bar.width == 0 || bar.height == 0);
  EXPECT_EQ(v.bars[LeftBar].width, 0);
  EXPECT_EQ(v.bars[TopBar].height, 0);
}

TEST(ViewGeometry, StretchFillsTheViewAndActualSizeCentres) {
  const ViewGeometry stretched = ComputeViewGeometry(kFullHd, kPicture, MagType::StretchMonitor, kFullHdCapture);
  EXPECT_EQ(stretched.picturePosition.x, 0);
  EXPECT_EQ(stretched.picture.width, 1920);
  EXPECT_EQ(stretched.bars[LeftBar].width, 0);
  EXPECT_EQ(stretched.bars[TopBar].height, 0);

  const ViewGeometry actual = ComputeViewGeometry(kFullHd, kPicture, MagType::ActualSize, kFullHdCapture);
  EXPECT_EQ(actual.picturePosition.x, 720);
  EXPECT_EQ(actual.picturePosition.y, 360);
  EXPECT_TRUE(SameRect(actual.bars[LeftBar], {0, 0, 720, 1080}));
  EXPECT_TRUE(SameRect(actual.bars[RightBar], {1200, 0, 720, 1080}));
  EXPECT_TRUE(SameRect(actual.bars[TopBar], {720, 0, 480, 360}));
  EXPECT_TRUE(SameRect(actual.bars[BottomBar], {720, 720, 480, 360}));
}

TEST(ViewGeometry, AnOddGapPutsTheRightAndBottomBarsOnePixelPastTheView) {
  // Gap 5 across and 3 down: left/top get 3 and 2, the far bars take the same and overhang by 1.
  const ViewGeometry v = ComputeViewGeometry({0, 0, 105, 103}, {100, 100}, MagType::ActualSize, {105, 103});
  EXPECT_EQ(v.picturePosition.x, 3);
  EXPECT_EQ(v.picturePosition.y, 2);
  EXPECT_TRUE(SameRect(v.bars[RightBar], {103, 0, 3, 103}));
  EXPECT_EQ(v.bars[RightBar].x + v.bars[RightBar].width, 106);
  EXPECT_TRUE(SameRect(v.bars[BottomBar], {3, 102, 100, 2}));
}

TEST(ViewGeometry, AMonitorAboveAnotherMeasuresItsBarsFromItsOwnTop) {
  const PixelRect upper{0, -768, 1024, 768};
  const ViewGeometry v = ComputeViewGeometry(upper, {400, 400}, MagType::ActualSize, {1024, 768});
  EXPECT_EQ(v.picturePosition.x, 312);
  EXPECT_EQ(v.picturePosition.y, -768 + 184);
  EXPECT_TRUE(SameRect(v.bars[LeftBar], {0, -768, 312, 768}));
  EXPECT_TRUE(SameRect(v.bars[TopBar], {312, -768, 400, 184}));
  EXPECT_TRUE(SameRect(v.bars[BottomBar], {312, -768 + 584, 400, 184}));
  EXPECT_TRUE(SameRect(v.background, upper));
}

TEST(ViewGeometry, BackgroundFillsKeepingAspectAndCrops) {
  // A 4:3 capture in a 16:9 area: scaled by max(1920/1024, 1080/768) = 1.875 -> 1920 x 1440.
  const ViewGeometry v = ComputeViewGeometry(kFullHd, kPicture, MagType::FitMonitor, {1024, 768});
  EXPECT_TRUE(SameRect(v.background, {0, -179, 1920, 1440}));
  // A background without size draws nothing rather than dividing by zero.
  EXPECT_EQ(ComputeViewGeometry(kFullHd, kPicture, MagType::FitMonitor, {0, 0}).background.width, 0);
}

TEST(ViewAreas, DesktopModesMakeOneViewOverTheUnion) {
  const std::vector<PixelRect> sideBySide{{0, 0, 1920, 1080}, {1920, 0, 1280, 1024}};
  for (int32_t mode : {0, 1, 2, 3}) {
    const auto areas = ViewAreas(sideBySide, mode);
    ASSERT_EQ(areas.size(), 2u);
    EXPECT_TRUE(SameRect(areas[1], sideBySide[1]));
  }
  for (int32_t mode : {4, 5}) {
    const auto areas = ViewAreas(sideBySide, mode);
    ASSERT_EQ(areas.size(), 1u);
    EXPECT_TRUE(SameRect(areas[0], {0, 0, 3200, 1080}));
  }
  EXPECT_TRUE(ViewAreas({}, MagType::FillDesktop).empty());
  const auto stacked = ViewAreas({{0, 0, 1024, 768}, {0, -600, 800, 600}}, MagType::FitDesktop);
  EXPECT_TRUE(SameRect(stacked[0], {0, 0, 1024, 1368}));
}

TEST(ViewGeometry, FillDesktopOverTwoMonitorsCoversTheUnion) {
  const PixelRect both{0, 0, 3840, 1080};
  const ViewGeometry v = ComputeViewGeometry(both, kPicture, MagType::FillDesktop, {3840, 1080});
  EXPECT_EQ(v.picture.width, 3840);  // s = max(8, 3) = 8
  EXPECT_EQ(v.picture.height, 2880);
  EXPECT_EQ(v.picturePosition.y, -899);  // -899.5 truncated toward zero
  const ViewGeometry fit = ComputeViewGeometry(both, kPicture, MagType::FitDesktop, {3840, 1080});
  EXPECT_EQ(fit.picture.width, 1440);
  EXPECT_EQ(fit.picturePosition.x, 1200);
}

TEST(PreviewScale, ShowsThePictureAtItsScreenSize) {
  const PixelSize scaled = PreviewScale({480, 360}, 200, 1600);
  EXPECT_EQ(scaled.width, 60);
  EXPECT_EQ(scaled.height, 45);
  const PixelSize halves = PreviewScale({6, 10}, 250, 1000);  // 1.5 and 2.5 round up
  EXPECT_EQ(halves.width, 2);
  EXPECT_EQ(halves.height, 3);
  EXPECT_EQ(PreviewScale({480, 360}, 152, 0).width, 480);
}
}  // namespace
