#include "core/view/WindowPlacement.h"

#include <gtest/gtest.h>

#include <vector>

namespace sonivera {

TEST(WindowPlacementTest, DefaultIsCentredAndFitsSmallScreens) {
    EXPECT_EQ(DefaultWindowRect({0, 0, 1280, 1024}), (PixelRect{128, 152, 1152, 872}));
    EXPECT_EQ(DefaultWindowRect({100, 30, 900, 630}), (PixelRect{100, 30, 900, 630}));
}

TEST(WindowPlacementTest, RememberedRectanglesAreUsedOnlyWhenTheCaptionCanBeGrabbed) {
    const std::vector<PixelRect> screens = {{0, 0, 1280, 1024}, {1280, 0, 2560, 1024}};
    const PixelRect fine{1400, 100, 2200, 700};
    EXPECT_EQ(UsableWindowRect(fine, screens), fine);
    // Partly off the left edge but the caption is still reachable.
    EXPECT_TRUE(UsableWindowRect({-700, 10, 100, 600}, screens));
    // Gone with the second screen, above the top, far away, too small, inverted, too large.
    EXPECT_FALSE(UsableWindowRect(fine, std::span(screens).first(1)));
    EXPECT_FALSE(UsableWindowRect({100, -100, 900, 500}, screens));
    EXPECT_FALSE(UsableWindowRect({-30000, -30000, -29000, -29000}, screens));
    EXPECT_FALSE(UsableWindowRect({0, 0, 200, 100}, screens));
    EXPECT_FALSE(UsableWindowRect({900, 700, 100, 100}, screens));
    EXPECT_FALSE(UsableWindowRect({0, 0, 3000, 900}, screens));
    EXPECT_FALSE(UsableWindowRect(fine, {}));
}

// The geometry a window manager reported for: start maximised with 900 × 653 remembered, then
// restore (the manager restores to a size of its own, still reported as not maximised).
TEST(WindowPlacementTest, RestoredSizeSurvivesAMaximisedStartAndComesBackOnRestore) {
    RestoredWindowRect kept;
    const PixelRect remembered{0, 0, 900, 653};
    kept.Set(remembered);
    EXPECT_FALSE(kept.Observe({0, 0, 1024, 720}, false, false)); // hidden: not taken
    EXPECT_FALSE(kept.Observe({0, 19, 1024, 721}, true, true));
    EXPECT_FALSE(kept.Observe({1, 20, 1025, 722}, true, true));
    // The first geometry after leaving the maximised state asks for the remembered rectangle.
    EXPECT_EQ(kept.Observe({1, 20, 1025, 722}, true, false), remembered);
    EXPECT_EQ(kept.Rect(), remembered);
    // Put back there, the window follows the user's moves and resizes again.
    EXPECT_FALSE(kept.Observe({0, 0, 900, 653}, true, false));
    EXPECT_FALSE(kept.Observe({40, 30, 840, 630}, true, false));
    EXPECT_EQ(kept.Rect(), (PixelRect{40, 30, 840, 630}));
    // Maximised again and quit: the kept rectangle is what is saved.
    EXPECT_FALSE(kept.Observe({0, 0, 1024, 722}, true, true));
    EXPECT_EQ(kept.Rect(), (PixelRect{40, 30, 840, 630}));
}

} // namespace sonivera
