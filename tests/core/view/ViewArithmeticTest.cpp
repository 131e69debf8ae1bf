#include "core/model/SceneSettings.h"
#include "core/view/ScrollState.h"
#include "core/view/ViewGeometry.h"
#include "core/view/ViewTexts.h"

#include <gtest/gtest.h>

#include <memory>

namespace sonivera {

namespace {

std::unique_ptr<SceneSettings> SceneOfSize(double width, double height) {
    auto scene = std::make_unique<SceneSettings>();
    scene->width = width;
    scene->height = height;
    return scene;
}

} // namespace

TEST(WindowToScene, AddsTheScrollPositionAndDividesByTheZoom) {
    const auto scenePtr = SceneOfSize(100.0, 100.0);
    const SceneSettings& scene = *scenePtr;
    ScenePoint p = WindowToScene({75, 45}, {0, 0}, 30, scene);
    EXPECT_EQ(p.x, 2.5);
    EXPECT_EQ(p.y, 1.5);
    EXPECT_TRUE(p.inside);

    p = WindowToScene({75, 45}, {30, 600}, 30, scene);
    EXPECT_EQ(p.x, 3.5);
    EXPECT_EQ(p.y, 21.5);

    p = WindowToScene({1, 2}, {0, 0}, 7, scene);
    EXPECT_EQ(p.x, 1.0 / 7.0);
    EXPECT_EQ(p.y, 2.0 / 7.0);

    // No lower bound: left of or above the window during a capture still counts as inside.
    p = WindowToScene({-15, -30}, {0, 0}, 30, scene);
    EXPECT_EQ(p.x, -0.5);
    EXPECT_EQ(p.y, -1.0);
    EXPECT_TRUE(p.inside);
}

TEST(WindowToScene, InsideUpToTheWholeMetreExtentInclusive) {
    const auto scenePtr = SceneOfSize(100.7, 50.2);
    const SceneSettings& scene = *scenePtr;
    EXPECT_TRUE(WindowToScene({1000, 500}, {0, 0}, 10, scene).inside);   // exactly on both edges
    EXPECT_FALSE(WindowToScene({1005, 100}, {0, 0}, 10, scene).inside);  // x = 100.5
    EXPECT_FALSE(WindowToScene({100, 501}, {0, 0}, 10, scene).inside);   // y = 50.1
    EXPECT_FALSE(WindowToScene({900, 100}, {101, 0}, 10, scene).inside); // scrolled past the edge
    EXPECT_EQ(ScenePixelExtent(scene, 10), (PixelSize{1000, 500}));
}

TEST(ScrollSizes, ExtentPageAndLineStepsWithTheSubstitutionsForZero) {
    const auto scenePtr = SceneOfSize(100.0, 40.9);
    const SceneSettings& scene = *scenePtr;
    for (int s = kMinPixelsPerMetre; s <= kMaxPixelsPerMetre; ++s) {
        SCOPED_TRACE(s);
        const ScrollSizes sizes = ComputeScrollSizes(scene, s);
        EXPECT_EQ(sizes.total, (PixelSize{100 * s, 40 * s}));
        EXPECT_EQ(sizes.page, (PixelSize{100 * s / 8, 40 * s / 8}));
        if (s >= 4) {
            EXPECT_EQ(sizes.line, (PixelSize{s / 4, s / 4}));
        } else { // a line step of 0 becomes a tenth of the page step
            EXPECT_EQ(sizes.line, (PixelSize{sizes.page.cx / 10, sizes.page.cy / 10}));
        }
    }
    EXPECT_EQ(ComputeScrollSizes(scene, 1).line, (PixelSize{1, 0}));
    EXPECT_EQ(ComputeScrollSizes(scene, 3).line, (PixelSize{3, 1}));
    // A page step of 0 (an extent below 8 pixels) becomes a tenth of the extent.
    EXPECT_EQ(ComputeScrollSizes(*SceneOfSize(7.5, 5.0), 1), (ScrollSizes{{7, 5}, {0, 0}, {0, 0}}));
}

TEST(ScaleText, FourSignificantDigitsOfThirtyOverTheZoom) {
    EXPECT_EQ(FormatScaleText(30), "Масштаб 1:1");
    EXPECT_EQ(FormatScaleText(29), "Масштаб 1:1.034");
    EXPECT_EQ(FormatScaleText(15), "Масштаб 1:2");
    EXPECT_EQ(FormatScaleText(7), "Масштаб 1:4.286");
    EXPECT_EQ(FormatScaleText(4), "Масштаб 1:7.5");
    EXPECT_EQ(FormatScaleText(1), "Масштаб 1:30");
}

TEST(PointerText, OneDecimalEachNegativeShownAsIs) {
    EXPECT_EQ(FormatPointerText(75.0 / 30.0, 45.0 / 30.0), "x = 2.5, y = 1.5");
    EXPECT_EQ(FormatPointerText(0.0, 99.96), "x = 0.0, y = 100.0");
    EXPECT_EQ(FormatPointerText(-0.5, 1234.25), "x = -0.5, y = 1234.2");
    EXPECT_EQ(FormatPointerText(1e300, 0.0).size(), 316u); // long texts are not cut
}

TEST(GridMultiplier, PitchBetweenFortyAndAHundredPixels) {
    const int expected[31] = {0, 64, 32, 16, 16, 8, 8, 8, 8, 8, 4, 4, 4, 4, 4, 4,
                              4, 4,  4,  4,  2,  2, 2, 2, 2, 2, 2, 2, 2, 2, 2};
    for (int s = 1; s <= 30; ++s) {
        EXPECT_EQ(GridMultiplier(s), expected[s]) << "s = " << s;
    }
    EXPECT_EQ(GridMultiplier(1000), 1024); // stops after the tenth doubling
}

TEST(ScrollState, StepsStayWithinTheRangeTheClientLeaves) {
    using Axis = ScrollState::Axis;
    using Action = ScrollState::Action;
    ScrollState scroll;
    scroll.SetClientSize({800, 600});
    scroll.SetSizes(ComputeScrollSizes(*SceneOfSize(100.0, 100.0), 30)); // 3000, page 375, line 7

    EXPECT_FALSE(scroll.Scroll(Axis::Horizontal, Action::LineUp));
    EXPECT_TRUE(scroll.Scroll(Axis::Horizontal, Action::LineDown));
    EXPECT_TRUE(scroll.Scroll(Axis::Vertical, Action::PageDown));
    EXPECT_EQ(scroll.Position(), (PixelPoint{7, 375}));
    EXPECT_TRUE(scroll.Scroll(Axis::Vertical, Action::ThumbTo, 5000));
    EXPECT_EQ(scroll.Position().y, 2401); // 3000 and the border line − 600
    EXPECT_FALSE(scroll.Scroll(Axis::Vertical, Action::PageDown));

    // A larger client pulls the position back; new sizes scroll to the top-left.
    EXPECT_TRUE(scroll.SetClientSize({800, 2900}));
    EXPECT_EQ(scroll.Position().y, 101);
    scroll.SetSizes(ComputeScrollSizes(*SceneOfSize(100.0, 100.0), 29));
    EXPECT_EQ(scroll.Position(), (PixelPoint{0, 0}));
    // A scene smaller than the window does not scroll at all.
    scroll.SetClientSize({4000, 4000});
    EXPECT_FALSE(scroll.Scroll(Axis::Horizontal, Action::Bottom));
}

TEST(ScrollState, TheScrollBarsTakeTheirRoomSoTheFarCornerAndTheBorderCanBeReached) {
    // The bars show only where the range does not fit; one bar can make the other needed.
    const PixelSize bars{15, 12};
    EXPECT_EQ(VisibleClientSize({800, 600}, {700, 500}, bars), (PixelSize{800, 600}));
    EXPECT_EQ(VisibleClientSize({800, 600}, {3001, 500}, bars), (PixelSize{800, 588}));
    EXPECT_EQ(VisibleClientSize({800, 600}, {3001, 590}, bars), (PixelSize{785, 588}));
    EXPECT_EQ(VisibleClientSize({800, 600}, {790, 3001}, bars), (PixelSize{785, 588}));
    EXPECT_EQ(VisibleClientSize({800, 600}, {785, 3001}, bars), (PixelSize{785, 600}));
    EXPECT_EQ(VisibleClientSize({800, 600}, {3001, 3001}, bars), (PixelSize{785, 588}));
    EXPECT_EQ(VisibleClientSize({10, 10}, {3001, 3001}, bars), (PixelSize{0, 0}));

    // At every zoom and several window sizes, scrolled fully, the scene's far corner (the border
    // at whole metres × zoom) is the last visible pixel of the client area the bars leave.
    using Axis = ScrollState::Axis;
    using Action = ScrollState::Action;
    const auto scene = SceneOfSize(100.0, 100.0);
    for (const PixelSize outer :
         {PixelSize{1280, 850}, PixelSize{800, 600}, PixelSize{1600, 3010}}) {
        for (int zoom = kMinPixelsPerMetre; zoom <= kMaxPixelsPerMetre; ++zoom) {
            ScrollState scroll;
            scroll.SetViewport(outer, bars);
            scroll.SetSizes(ComputeScrollSizes(*scene, zoom));
            scroll.Scroll(Axis::Horizontal, Action::Bottom);
            scroll.Scroll(Axis::Vertical, Action::Bottom);
            const PixelSize client = scroll.ClientSize();
            const PixelPoint corner{100 * zoom - scroll.Position().x,
                                    100 * zoom - scroll.Position().y};
            EXPECT_GE(corner.x, 0);
            EXPECT_LT(corner.x, client.cx) << zoom;
            EXPECT_LT(corner.y, client.cy) << zoom;
            // The corner maps back to the scene's far corner, inside: it can be picked.
            const ScenePoint p = WindowToScene(corner, scroll.Position(), zoom, *scene);
            EXPECT_TRUE(p.inside);
            EXPECT_EQ(p.x, 100.0);
            EXPECT_EQ(p.y, 100.0);
            // A bar that shows has something to scroll.
            if (client.cx < outer.cx) {
                EXPECT_GT(scroll.MaxPosition(Axis::Vertical), 0) << zoom;
            }
        }
    }
}

} // namespace sonivera
