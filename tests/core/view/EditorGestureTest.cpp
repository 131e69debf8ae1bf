#include "EditorFixture.h"

#include "support/RecordingCanvas.h"

namespace sonivera {

TEST_F(EditorTest, PointerTextInsideTheSceneEmptyOutsideNegativeDuringCapture) {
    editor.OnMouseMove({75, 45});
    EXPECT_EQ(host.pointerText, "x = 2.5, y = 1.5");
    editor.OnScroll(ScrollState::Axis::Vertical, ScrollState::Action::ThumbTo, 300);
    editor.OnMouseMove({75, 45});
    EXPECT_EQ(host.pointerText, "x = 2.5, y = 11.5");
    editor.OnMouseMove({-15, -345});
    EXPECT_EQ(host.pointerText, "x = -0.5, y = -1.5");
    scene->width = 20.0;
    editor.OnMouseMove({700, 45}); // right of the scene
    EXPECT_EQ(host.pointerText, "");
}

TEST_F(EditorTest, RectanglesDrawnInAllFourDirectionsEndTopLeftAnchored) {
    editor.SetTool(ToolDrawRect);
    // Press at (10 m, 10 m); the moving corner ends 3 m away in x and 2 m in y.
    const PixelPoint ends[] = {{390, 360}, {210, 360}, {390, 240}, {210, 240}};
    const double anchors[][2] = {{10, 10}, {7, 10}, {10, 8}, {7, 8}};
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        Gesture({300, 300}, {{350, 350}, ends[i]});
        ASSERT_EQ(Count(), static_cast<std::size_t>(2 + i));
        const CRectObject* rect = LastRect();
        ASSERT_NE(rect, nullptr);
        EXPECT_EQ(rect->m_x, anchors[i][0]);
        EXPECT_EQ(rect->m_y, anchors[i][1]);
        EXPECT_EQ(rect->m_width, 3.0);
        EXPECT_EQ(rect->m_height, 2.0);
        EXPECT_EQ(rect->m_absorption, 1.7e308);
        EXPECT_EQ(rect->m_reflection, 0.0);
        EXPECT_FALSE(rect->m_bMoving);
        ExpectOnlySelected(rect);
        EXPECT_EQ(host.modified, i + 1); // marked at the release that keeps it
    }
    EXPECT_EQ(host.captures, 4);
    EXPECT_EQ(host.releases, 4);
    EXPECT_TRUE(host.drawnNow.empty()); // the rubber band is the full repaint only
}

TEST_F(EditorTest, BothCornersSnapWhileDrawingWithTheFixedOneTakenFromThePress) {
    editor.SetTool(ToolDrawRect);
    editor.OnLButtonDown({305, 310}); // (10.17, 10.33): stored as pressed until the first move
    EXPECT_EQ(LastRect()->m_x, 305.0 / 30.0);
    EXPECT_EQ(host.modified, 0);
    editor.OnMouseMove({395, 372}); // (13.17, 12.4)
    EXPECT_EQ(LastRect()->m_x, 10.0);
    EXPECT_EQ(LastRect()->m_y, 10.0);
    EXPECT_EQ(LastRect()->m_width, 3.0);
    EXPECT_EQ(LastRect()->m_height, 2.0);
    editor.OnLButtonUp({395, 372});

    // Snapping off: any non-zero size is kept, unsnapped.
    scene->snapToGrid = false;
    Gesture({300, 300}, {{301, 302}});
    EXPECT_EQ(LastRect()->m_width, 301.0 / 30.0 - 10.0);
    EXPECT_EQ(LastRect()->m_height, 302.0 / 30.0 - 10.0);
}

TEST_F(EditorTest, ZeroSizeRectangleIsRemovedAndTheEarlierSelectionStaysDeselected) {
    editor.OnKeyDown(EditorController::Key::Tab); // the listener
    editor.SetTool(ToolDrawRect);
    Gesture({300, 300});
    EXPECT_EQ(Count(), 1u);
    ExpectOnlySelected(nullptr);

    // Corners that snap to the same grid line in one direction: removed too.
    Gesture({300, 300}, {{310, 400}});
    EXPECT_EQ(Count(), 1u);
    ExpectOnlySelected(nullptr);
    EXPECT_EQ(host.modified, 0);
    EXPECT_FALSE(host.captured);
}

TEST_F(EditorTest, MovingCornerIsClampedThenSnappedToTheGridLineJustOutside) {
    scene->width = 10.6;
    scene->height = 10.4;
    editor.SetTool(ToolDrawRect);
    Gesture({150, 150}, {{900, 900}}); // dragged far beyond the scene
    const CRectObject* rect = LastRect();
    EXPECT_EQ(rect->m_x, 5.0);
    EXPECT_EQ(rect->m_width, 6.0);  // clamped to 10.6, snapped to 11: outside the scene
    EXPECT_EQ(rect->m_height, 5.0); // clamped to 10.4, snapped to 10

    Gesture({150, 150}, {{-300, -300}}); // left of and above the window, under the capture
    EXPECT_EQ(LastRect()->m_x, 0.0);
    EXPECT_EQ(LastRect()->m_y, 0.0);
    EXPECT_EQ(LastRect()->m_width, 5.0);
}

TEST_F(EditorTest, PressesOutsideTheSceneOnlyCapture) {
    editor.OnUpdate(scene.get(), 1);
    editor.SetTool(ToolDrawRect);
    Gesture({3001, 10}, {{100, 100}});
    editor.SetTool(ToolAddSource);
    Gesture({10, 3001});
    EXPECT_EQ(Count(), 1u);
    EXPECT_EQ(host.modified, 0);
    EXPECT_EQ(host.captures, 2);
    EXPECT_EQ(host.releases, 2);
}

TEST_F(EditorTest, ThreeOverlappingObjectsAreCycledByFourPresses) {
    Listener()->m_x = 5.0;
    Listener()->m_y = 5.0;
    auto* source = scene->Add<CSoundSource>();
    source->m_x = 5.0;
    source->m_y = 5.0;
    auto* rect = scene->Add<CRectObject>();
    rect->m_x = 4.0;
    rect->m_y = 4.0;
    rect->m_width = 2.0;
    rect->m_height = 2.0;

    CSceneObject* const order[] = {Listener(), source, rect, Listener()};
    for (CSceneObject* expected : order) {
        host.drawnNow.clear();
        Gesture({150, 150});
        ExpectOnlySelected(expected);
        // The old selection is drawn black at once, then the new one red.
        ASSERT_FALSE(host.drawnNow.empty());
        EXPECT_EQ(host.drawnNow.back().object, expected);
        EXPECT_EQ(host.drawnNow.back().color, kColorSelected);
        if (host.drawnNow.size() == 2) {
            EXPECT_EQ(host.drawnNow.front().color, kColorBlack);
        }
    }
    // Only the rectangle at (5.5, 4.2); a press there keeps it without drawing.
    Gesture({165, 126});
    Gesture({165, 126});
    host.drawnNow.clear();
    Gesture({165, 126});
    ExpectOnlySelected(rect);
    EXPECT_TRUE(host.drawnNow.empty());
    // Empty space clears the selection.
    Gesture({600, 600});
    ExpectOnlySelected(nullptr);
    EXPECT_EQ(host.modified, 0);
}

TEST_F(EditorTest, MovingShowsTheSnappedPreviewForgetsTheOvershootAndSnapsAtTheEnd) {
    auto* source = scene->Add<CSoundSource>();
    source->m_x = 5.0;
    source->m_y = 5.0;
    editor.SetTool(ToolMove);
    editor.OnLButtonDown({150, 150});
    EXPECT_TRUE(editor.IsDragging());
    ExpectOnlySelected(source);

    editor.OnMouseMove({166, 160});
    EXPECT_EQ(source->m_x, 5.0 + (166.0 / 30.0 - 5.0));
    EXPECT_TRUE(source->m_bMoving);
    RecordingCanvas dc;
    editor.Paint(dc, {0, 0, 800, 600});
    EXPECT_EQ(source->m_drawX, 6.0); // shown where it will land
    EXPECT_EQ(source->m_drawY, 5.0);

    editor.OnMouseMove({-300, 160}); // far past the left border: stops at 0
    EXPECT_EQ(source->m_x, 0.0);
    editor.OnMouseMove({-270, 160}); // one metre back moves it one metre at once
    EXPECT_EQ(source->m_x, 1.0);
    const int repaintsBefore = host.repaints;
    editor.OnLButtonUp({-270, 160}); // released where the last step was: no extra repaint
    EXPECT_EQ(host.repaints, repaintsBefore);
    EXPECT_EQ(source->m_x, 1.0);
    EXPECT_EQ(source->m_y, 5.0);
    EXPECT_FALSE(source->m_bMoving);
    EXPECT_FALSE(editor.IsDragging());
    EXPECT_EQ(host.modified, 1);

    // A press on empty space starts no drag; a press and release that leaves the object where it
    // was is no edit.
    editor.OnLButtonDown({600, 600});
    EXPECT_FALSE(editor.IsDragging());
    editor.OnLButtonUp({600, 600});
    EXPECT_EQ(host.modified, 1);
    Gesture({30, 150});
    EXPECT_EQ(host.modified, 1);
}

TEST_F(EditorTest, NewSourceSitsExactlyAtThePressEvenWithSnappingOn) {
    editor.OnKeyDown(EditorController::Key::Tab);
    editor.SetTool(ToolAddSource);
    host.drawnNow.clear();
    editor.OnLButtonDown({155, 161});
    EXPECT_EQ(host.modified, 1); // at once, before the release
    auto* source = dynamic_cast<CSoundSource*>(Last());
    ASSERT_NE(source, nullptr);
    EXPECT_EQ(source->m_x, 155.0 / 30.0);
    EXPECT_EQ(source->m_y, 161.0 / 30.0);
    EXPECT_EQ(source->m_power, 1.0);
    ExpectOnlySelected(source);
    ASSERT_EQ(host.drawnNow.size(), 2u);
    EXPECT_EQ(host.drawnNow[0].object, Listener());
    EXPECT_EQ(host.drawnNow[0].color, kColorBlack);
    EXPECT_EQ(host.drawnNow[1].object, source);
    editor.OnLButtonUp({155, 161});
    EXPECT_EQ(host.modified, 1);
}

TEST_F(EditorTest, LostCaptureEndsTheGestureWhereThePointerWasLastSeen) {
    editor.SetTool(ToolDrawRect);
    editor.OnLButtonDown({300, 300});
    editor.OnMouseMove({360, 390});
    editor.OnCaptureLost();
    EXPECT_FALSE(editor.IsButtonDown());
    EXPECT_EQ(host.releases, 0);
    EXPECT_EQ(LastRect()->m_width, 2.0);
    EXPECT_EQ(host.modified, 1);
    editor.OnMouseMove({500, 500}); // no longer drawing
    EXPECT_EQ(LastRect()->m_width, 2.0);
    editor.OnLButtonUp({500, 500}); // a stray release changes nothing
    EXPECT_EQ(host.releases, 0);
    EXPECT_EQ(host.modified, 1);
}

} // namespace sonivera
