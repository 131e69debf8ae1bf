// The echo-path overlay's drawing, colours, highlighting and hovering, through the recording
// canvas.
#include "core/paths/PathOverlay.h"
#include "core/paths/ColorMap.h"
#include "support/RecordingCanvas.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace sonivera {

namespace {

EchoPath MakePath(std::vector<PathPoint> points, double delay, double amplitude, int bin, int ray) {
    EchoPath p;
    p.points = std::move(points);
    p.delay = delay;
    p.amplitude = amplitude;
    p.bin = bin;
    p.ray = ray;
    return p;
}

// A strong early direct path and a weak late reflected one (40 dB down, past the fade).
PathOverlay TwoPaths() {
    PathOverlay overlay;
    overlay.SetPaths({MakePath({{1, 1}, {4, 1}}, 0.01, 1.0, 1, -1),
                      MakePath({{1, 1}, {2.5, 3}, {4, 1}}, 0.02, 0.01, 2, 7)});
    return overlay;
}

int Red(RgbColor c) {
    return static_cast<int>(c & 0xFF);
}

TEST(ColorMap, ViridisEndsAndBlendingOverWhite) {
    EXPECT_EQ(Viridis(0.0), MakeRgb(68, 1, 84));
    EXPECT_EQ(Viridis(1.0), MakeRgb(253, 231, 37));
    EXPECT_EQ(Viridis(-3.0), Viridis(0.0));
    EXPECT_EQ(Viridis(7.0), Viridis(1.0));
    EXPECT_EQ(Viridis(0.5), MakeRgb(33, 144, 141));
    const RgbColor c = MakeRgb(10, 100, 200);
    EXPECT_EQ(OverWhite(c, 1.0), c);
    EXPECT_EQ(OverWhite(c, 0.0), MakeRgb(255, 255, 255));
    EXPECT_EQ(OverWhite(c, 0.5), MakeRgb(133, 178, 228));
}

TEST(PathOverlay, DrawsPolylinesInPixelsWeakestFirstByDelayAndStrength) {
    const PathOverlay overlay = TwoPaths();
    RecordingCanvas dc;
    overlay.Draw(dc, 10);
    const std::vector<std::string> expected = {"pen solid 1 " + std::to_string(overlay.ColorOf(1)),
                                               "move 10 10",
                                               "line 25 30",
                                               "line 40 10",
                                               "pen solid 1 " + std::to_string(overlay.ColorOf(0)),
                                               "move 10 10",
                                               "line 40 10",
                                               "pen black"};
    EXPECT_EQ(dc.calls, expected);
    // The early path half-way along the map (half the latest delay) and fully opaque; the late
    // one at its end, faded to the least opacity by its level 40 dB down.
    EXPECT_EQ(overlay.ColorOf(0), OverWhite(Viridis(0.5), 1.0));
    EXPECT_EQ(overlay.ColorOf(1), OverWhite(Viridis(1.0), 0.1));
}

TEST(PathOverlay, HighlightedBinStandsOutAndTheOthersDim) {
    PathOverlay overlay = TwoPaths();
    const RgbColor before = overlay.ColorOf(0);
    overlay.HighlightBin(2);
    EXPECT_EQ(overlay.ColorOf(1), Viridis(1.0)); // fully opaque
    EXPECT_EQ(overlay.WidthOf(1), PathOverlay::kEmphasisWidth);
    EXPECT_GT(Red(overlay.ColorOf(0)), Red(before)); // nearer white
    EXPECT_EQ(overlay.DrawOrder(), (std::vector<int>{0, 1}));
    overlay.HighlightBin(-1);
    EXPECT_EQ(overlay.ColorOf(0), before);
    EXPECT_EQ(overlay.DrawOrder(), (std::vector<int>{1, 0}));
}

TEST(PathOverlay, HoverFindsTheTopmostPathNearThePointer) {
    PathOverlay overlay = TwoPaths();
    EXPECT_EQ(overlay.PathAt({25, 12}, 10), 0);  // 2 px under the direct path
    EXPECT_EQ(overlay.PathAt({18, 21}, 10), 1);  // on the reflected path's first leg
    EXPECT_EQ(overlay.PathAt({25, 20}, 10), -1); // between them
    overlay.SetHovered(1);
    EXPECT_EQ(overlay.ColorOf(1), Viridis(1.0));
    EXPECT_EQ(overlay.WidthOf(1), PathOverlay::kEmphasisWidth);
    EXPECT_EQ(overlay.PathAt({10, 10}, 10), 1); // both start here; the hovered one is on top
    overlay.Clear();
    EXPECT_TRUE(overlay.Empty());
    EXPECT_EQ(overlay.Hovered(), -1);
}

TEST(PathOverlay, LegendRunsOverTheWholeMap) {
    const PathOverlay overlay = TwoPaths();
    RecordingCanvas dc;
    overlay.DrawLegend(dc, {5, 7});
    ASSERT_EQ(dc.calls.size(), 3u * PathOverlay::kLegendWidth + 1);
    EXPECT_EQ(dc.calls[0], "pen solid 1 " + std::to_string(Viridis(0.0)));
    EXPECT_EQ(dc.calls[1], "move 5 7");
    EXPECT_EQ(dc.calls[2], "line 5 17");
    EXPECT_EQ(dc.calls[3 * (PathOverlay::kLegendWidth - 1)],
              "pen solid 1 " + std::to_string(Viridis(1.0)));
    EXPECT_EQ(dc.calls.back(), "pen black");
}

} // namespace

TEST(PathOverlay, TheLegendGoesToTheCornerThatHidesTheFewestMarks) {
    const PixelSize client{800, 600};
    const PixelSize box{180, 50};
    EXPECT_EQ(LegendCorner({}, client, box, 8), (PixelPoint{612, 8})); // top-right by default
    // A source under the top-right corner: the top-left one is free.
    EXPECT_EQ(LegendCorner({{700, 20}}, client, box, 8), (PixelPoint{8, 8}));
    // Both top corners taken: bottom-right.
    EXPECT_EQ(LegendCorner({{700, 20}, {50, 30}, {60, 40}}, client, box, 8),
              (PixelPoint{612, 542}));
}

} // namespace sonivera
