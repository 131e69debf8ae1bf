#include "core/view/SceneDrawing.h"
#include "core/model/Listener.h"
#include "core/model/PixelMath.h"
#include "core/model/RectObject.h"
#include "core/model/SceneSettings.h"
#include "core/model/SoundSource.h"
#include "support/RecordingCanvas.h"
#include "core/view/ObjectBounds.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace sonivera {

using Calls = std::vector<std::string>;

namespace {

constexpr PixelRect kEverything{0, 0, 1000000, 1000000};

std::string Move(int x, int y) {
    return "move " + std::to_string(x) + " " + std::to_string(y);
}
std::string Line(int x, int y) {
    return "line " + std::to_string(x) + " " + std::to_string(y);
}

// The grid calls DrawScene should start with: the dotted pen, the vertical lines, then the
// horizontal ones, each over the scene's whole pixel extent.
Calls ExpectedGrid(int pitch, int vertical, int horizontal, int wp, int hp) {
    Calls calls{"pen dotted 1 " + std::to_string(MakeRgb(160, 160, 160))};
    for (int k = 1; k <= vertical; ++k) {
        calls.insert(calls.end(), {Move(k * pitch, 0), Line(k * pitch, hp)});
    }
    for (int k = 1; k <= horizontal; ++k) {
        calls.insert(calls.end(), {Move(0, k * pitch), Line(wp, k * pitch)});
    }
    return calls;
}

Calls ExpectedBorder(int wp, int hp) {
    return {"pen black", Move(0, 0), Line(wp, 0), Line(wp, hp), Line(0, hp), Line(0, 0)};
}

Calls Concat(Calls a, const Calls& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

const Calls kListenerAt50{"pen solid 2 0", "brush white", "ellipse 1490 1490 1510 1510",
                          "pen black"};

} // namespace

TEST(SceneDrawing, DefaultSceneAtThirtyPixelsPerMetre) {
    auto scene = MakeDefaultScene();
    RecordingCanvas dc;
    DrawScene(dc, *scene, 30, kEverything);
    // 50 lines each way every 60 pixels, the 50th under the border; the listener's white disc.
    EXPECT_EQ(dc.calls, Concat(Concat(ExpectedGrid(60, 50, 50, 3000, 3000), kListenerAt50),
                               ExpectedBorder(3000, 3000)));
}

TEST(SceneDrawing, DefaultSceneAtOnePixelPerMetreHasOneLineEachWay) {
    auto scene = MakeDefaultScene();
    RecordingCanvas dc;
    DrawScene(dc, *scene, 1, kEverything);
    const Calls listener{"pen solid 2 0", "brush white", "ellipse 40 40 60 60", "pen black"};
    EXPECT_EQ(dc.calls,
              Concat(Concat(ExpectedGrid(64, 1, 1, 100, 100), listener), ExpectedBorder(100, 100)));
}

TEST(SceneDrawing, FractionalAndSmallScenesUseTheWholeMetreExtent) {
    SceneSettings scene;
    scene.width = 100.7;
    scene.height = 50.2;
    RecordingCanvas dc;
    DrawScene(dc, scene, 10, kEverything); // 4 m = 40 px between lines: 25 and 12 lines
    EXPECT_EQ(dc.calls, Concat(ExpectedGrid(40, 25, 12, 1000, 500), ExpectedBorder(1000, 500)));

    scene.width = 63.9; // smaller than the 64 m multiplier at 1 px/m: no vertical line
    scene.height = 64.0;
    dc.calls.clear();
    DrawScene(dc, scene, 1, kEverything);
    EXPECT_EQ(dc.calls, Concat(ExpectedGrid(64, 0, 1, 63, 64), ExpectedBorder(63, 64)));
}

TEST(SceneDrawing, ObjectsInListOrderBetweenGridAndBorder) {
    auto scene = MakeDefaultScene();
    auto* source = scene->Add<CSoundSource>();
    source->m_x = 1.5;
    source->m_y = 2.0;
    source->m_color = kColorSelected;
    auto* rect = scene->Add<CRectObject>();
    rect->m_x = 9.0;
    rect->m_y = 9.0;
    rect->m_width = 2.7;
    rect->m_height = 1.3;
    rect->MoveBy(1.4, 0.6); // dragged with snapping on: shown at the snapped anchor (10, 10)

    RecordingCanvas dc;
    DrawScene(dc, *scene, 30, kEverything);
    // After the 50 + 50 grid lines: the listener's disc, the red speaker, the rectangle at its
    // snapped anchor with its stored size; then the border.
    const auto objects = dc.calls.begin() + 1 + 4 * 50;
    EXPECT_EQ(objects[2], "ellipse 1490 1490 1510 1510");
    EXPECT_EQ(objects[4], "pen solid 2 255");
    EXPECT_EQ(objects[5], "move 38 53");
    EXPECT_EQ(Calls(objects + 15, objects + 22),
              (Calls{"pen solid 2 0", "move 300 300", "line 381 300", "line 381 339",
                     "line 300 339", "line 300 300", "pen black"}));
    EXPECT_EQ(Calls(objects + 22, dc.calls.end()), ExpectedBorder(3000, 3000));
}

TEST(SceneDrawing, GridDrawsOnlyTheLinesAndLengthsTheVisibleAreaNeeds) {
    SceneSettings scene;
    scene.width = 100000.0;
    scene.height = 100000.0;
    RecordingCanvas dc;
    const PixelRect visible{3000, 6010, 3800, 6610}; // an 800 × 600 window scrolled there
    DrawScene(dc, scene, 30, visible);

    int vertical = 0;
    int horizontal = 0;
    for (std::size_t i = 1; i + 1 < dc.calls.size() && dc.calls[i] != "pen black"; i += 2) {
        int x0, y0, x1, y1;
        ASSERT_EQ(std::sscanf(dc.calls[i].c_str(), "move %d %d", &x0, &y0), 2);
        ASSERT_EQ(std::sscanf(dc.calls[i + 1].c_str(), "line %d %d", &x1, &y1), 2);
        if (x0 == x1) {
            ++vertical;
            EXPECT_TRUE(x0 % 60 == 0 && x0 >= 2999 && x0 <= 3800) << x0;
            EXPECT_EQ(y0, 5952); // starts on a multiple of 64 so the dots keep their phase
            EXPECT_EQ(y1, 6611);
        } else {
            ++horizontal;
            EXPECT_TRUE(y0 % 60 == 0 && y0 >= 6009 && y0 <= 6610) << y0;
            EXPECT_EQ(x0, 2944);
            EXPECT_EQ(x1, 3801);
        }
    }
    EXPECT_EQ(vertical, 14);   // 3000, 3060, ..., 3780
    EXPECT_EQ(horizontal, 10); // 6060, ..., 6600
    EXPECT_EQ(Calls(dc.calls.end() - 6, dc.calls.end()), ExpectedBorder(3000000, 3000000));
}

TEST(SceneDrawing, HugeScenesAndFarObjectsSaturateInsteadOfOverflowing) {
    SceneSettings scene;
    scene.width = 1e300;
    scene.height = 1e300;
    auto* source = scene.Add<CSoundSource>();
    source->m_x = -1e300;
    source->m_y = 1e300;
    RecordingCanvas dc;
    DrawScene(dc, scene, 30, PixelRect{0, 0, 100, 100});
    // One grid line each way (the rest lie outside), the source at the saturated pixels.
    EXPECT_EQ(dc.calls.size(), 1u + 4u + 11u + 6u);
    EXPECT_EQ(dc.calls[1], Move(60, 0));
    EXPECT_EQ(dc.calls[6], Move(-kPixelLimit - 7, kPixelLimit - 7));
    EXPECT_EQ(Calls(dc.calls.end() - 6, dc.calls.end()), ExpectedBorder(kPixelLimit, kPixelLimit));
}

TEST(ObjectBounds, CoverWhatTheObjectDrawsWithItsPen) {
    SceneSettings scene;
    CListener listener(&scene);
    listener.m_x = 50.0;
    listener.m_y = 50.0;
    EXPECT_EQ(ObjectPixelBounds(listener, 30.0), (PixelRect{1488, 1488, 1513, 1513}));

    CSoundSource source(&scene);
    source.m_x = 1.0;
    source.m_y = 1.0;
    EXPECT_EQ(ObjectPixelBounds(source, 30.0), (PixelRect{21, 11, 50, 50}));
}

} // namespace sonivera
