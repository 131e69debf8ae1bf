#include "EditorFixture.h"

#include "core/calc/SceneCheck.h"
#include "core/view/CommandRules.h"
#include "core/view/ViewTexts.h"
#include "support/RecordingCanvas.h"
#include "support/ScriptedProperties.h"

#include <algorithm>

namespace sonivera {

namespace {

using Key = EditorController::Key;

} // namespace

TEST_F(EditorTest, TabStepsThroughTheListInOrderAndWrapsToTheListener) {
    auto* source = scene->Add<CSoundSource>();
    editor.OnKeyDown(Key::Tab); // from nothing
    ExpectOnlySelected(Listener());
    editor.OnKeyDown(Key::Tab);
    ExpectOnlySelected(source);
    host.drawnNow.clear();
    editor.OnKeyDown(Key::Tab); // from the last object
    ExpectOnlySelected(Listener());
    ASSERT_EQ(host.drawnNow.size(), 2u);
    EXPECT_EQ(host.drawnNow[0].object, source);
    EXPECT_EQ(host.drawnNow[0].color, kColorBlack);
    EXPECT_EQ(host.drawnNow[1].object, Listener());
    EXPECT_EQ(host.drawnNow[1].color, kColorSelected);
    EXPECT_EQ(host.modified, 0);
}

TEST_F(EditorTest, TabWithTheListenerAloneKeepsItSelectedWithoutDrawing) {
    editor.OnKeyDown(Key::Tab);
    host.drawnNow.clear();
    editor.OnKeyDown(Key::Tab);
    ExpectOnlySelected(Listener());
    EXPECT_TRUE(host.drawnNow.empty());
}

TEST_F(EditorTest, DeleteAsksAndOnlyYesRemovesTheObjectNeverTheListener) {
    auto* source = scene->Add<CSoundSource>();
    host.answerYes = true;
    editor.DeleteSelected(); // nothing selected
    editor.OnKeyDown(Key::Tab);
    EXPECT_FALSE(CanDeleteObject(editor.Selected()));
    editor.DeleteSelected(); // the listener
    EXPECT_EQ(host.questions, 0);
    EXPECT_EQ(Count(), 2u);

    editor.OnKeyDown(Key::Tab);
    ASSERT_EQ(editor.Selected(), source);
    EXPECT_TRUE(CanDeleteObject(editor.Selected()));

    host.answerYes = false;
    editor.DeleteSelected();
    EXPECT_EQ(host.questions, 1);
    EXPECT_EQ(Count(), 2u);
    ExpectOnlySelected(source);
    EXPECT_EQ(host.modified, 0);

    host.answerYes = true;
    const int repaints = host.repaints;
    editor.DeleteSelected();
    EXPECT_EQ(Count(), 1u);
    EXPECT_EQ(editor.Selected(), nullptr);
    EXPECT_EQ(host.modified, 1);
    EXPECT_EQ(host.repaints, repaints + 1);
    EXPECT_FALSE(CanDeleteObject(editor.Selected()));
    EXPECT_FALSE(CanEditProperties(editor.Selected()));

    editor.OnKeyDown(Key::Tab); // after a delete, Tab selects the listener
    ExpectOnlySelected(Listener());
}

TEST_F(EditorTest, DeletingTheRectangleBeingDrawnEndsItsGestureSafely) {
    editor.SetTool(ToolDrawRect);
    editor.OnLButtonDown({300, 300});
    editor.OnMouseMove({360, 360});
    host.answerYes = true;
    editor.DeleteSelected();
    editor.OnMouseMove({390, 390});
    editor.OnLButtonUp({390, 390});
    EXPECT_EQ(Count(), 1u);
    EXPECT_EQ(host.modified, 1); // the delete only
}

TEST_F(EditorTest, PropertiesGoThroughThePortWithoutRepaintAndAChangedValueIsAnEdit) {
    ScriptedProperties port;
    editor.EditSelectedProperties(port); // nothing selected: nothing shown
    EXPECT_EQ(port.noPropertiesShown, 0);

    editor.OnKeyDown(Key::Tab);
    EXPECT_TRUE(CanEditProperties(editor.Selected()));
    editor.EditSelectedProperties(port);
    EXPECT_EQ(port.noPropertiesShown, 1);

    auto* source = scene->Add<CSoundSource>();
    editor.OnKeyDown(Key::Tab);
    port.answerPower = 75.0;
    const int repaints = host.repaints;
    editor.EditSelectedProperties(port);
    EXPECT_EQ(source->m_power, 0.75);
    EXPECT_EQ(host.repaints, repaints);
    EXPECT_EQ(host.modified, 1);
    ExpectOnlySelected(source);
}

TEST_F(EditorTest, ToolChangesSelectionAndZoomNeverMarkModified) {
    EXPECT_EQ(editor.Tool(), ToolSelect);
    editor.OnKeyDown(Key::Tab);
    const int repaints = host.repaints;
    for (std::int32_t tool : {1, 2, 3, 0}) {
        editor.SetTool(tool);
        EXPECT_EQ(editor.Tool(), tool);
        EXPECT_TRUE(IsToolChecked(editor.Tool(), static_cast<EditorTool>(tool)));
    }
    editor.SetTool(7); // not a tool
    EXPECT_EQ(editor.Tool(), ToolSelect);
    EXPECT_EQ(host.repaints, repaints); // changing the tool repaints nothing
    ExpectOnlySelected(Listener());

    editor.ZoomOut();
    editor.ZoomIn();
    EXPECT_EQ(host.modified, 0);
}

TEST_F(EditorTest, ZoomStaysWithinOneToThirtyAndShowsTheSceneFromTheTopLeft) {
    editor.ZoomIn(); // disabled at 30
    EXPECT_EQ(editor.PixelsPerMetre(), 30);

    editor.OnKeyDown(Key::Down);
    editor.OnKeyDown(Key::Right);
    EXPECT_EQ(editor.Scroll().Position(), (PixelPoint{7, 7})); // one line is 30 / 4 pixels
    EXPECT_EQ(host.shownScroll, (PixelPoint{7, 7}));
    editor.OnKeyDown(Key::Up);
    editor.OnKeyDown(Key::Left);
    editor.OnKeyDown(Key::Left); // already at the edge
    EXPECT_EQ(editor.Scroll().Position(), (PixelPoint{0, 0}));

    editor.OnKeyDown(Key::Down);
    const int repaints = host.repaints;
    editor.ZoomOut();
    EXPECT_EQ(editor.PixelsPerMetre(), 29);
    EXPECT_EQ(host.scaleText, "Масштаб 1:1.034");
    EXPECT_EQ(editor.Scroll().Position(), (PixelPoint{0, 0}));
    EXPECT_EQ(editor.Scroll().Sizes().total, (PixelSize{2900, 2900}));
    EXPECT_EQ(host.repaints, repaints + 1);

    for (int i = 0; i < 40; ++i) {
        editor.ZoomOut();
    }
    EXPECT_EQ(editor.PixelsPerMetre(), 1);
    EXPECT_EQ(host.scaleText, "Масштаб 1:30");
    EXPECT_FALSE(CanZoomOut(editor.PixelsPerMetre()));
}

TEST_F(EditorTest, ANewRecordClearsTheSelectionTheSameRecordKeepsIt) {
    editor.OnKeyDown(Key::Tab);
    editor.ZoomOut();
    editor.OnKeyDown(Key::Down);
    editor.OnUpdate(scene.get(), 1); // size or grid changed: same record
    ExpectOnlySelected(Listener());
    EXPECT_EQ(editor.Scroll().Position(), (PixelPoint{0, 0}));

    // File New may allocate the new record where the old one was: the serial tells them apart.
    editor.OnUpdate(scene.get(), 2);
    EXPECT_EQ(editor.Selected(), nullptr);
    EXPECT_EQ(editor.PixelsPerMetre(), 29); // the zoom survives
    auto other = MakeDefaultScene();
    editor.OnKeyDown(Key::Tab);
    editor.OnUpdate(other.get(), 2);
    EXPECT_EQ(editor.Selected(), nullptr);
    EXPECT_EQ(editor.ShownScene(), other.get());
}

TEST_F(EditorTest, PaintDrawsTheVisiblePartOfTheShownScene) {
    editor.OnScroll(ScrollState::Axis::Horizontal, ScrollState::Action::ThumbTo, 1200);
    RecordingCanvas dc;
    editor.Paint(dc, {0, 0, 800, 600});
    // Only the 14 vertical lines within 1200..2000 pixels, each as deep as the window; the
    // horizontal lines start left of the window on a multiple of 64 pixels.
    EXPECT_EQ(dc.calls[1], "move 1200 0");
    EXPECT_EQ(dc.calls[2], "line 1200 601");
    EXPECT_EQ(dc.calls[27], "move 1980 0");
    EXPECT_EQ(dc.calls[29], "move 1152 60");
    EXPECT_EQ(dc.calls[30], "line 2001 60");
    EXPECT_EQ(dc.calls.back(), "line 0 0");
}

TEST_F(EditorTest, MovingTheListenerToAMapPointIsOneUndoableEdit) {
    EXPECT_TRUE(editor.MoveListenerTo(12.5, 40.5));
    ASSERT_EQ(host.edits.size(), 1u);
    EXPECT_EQ(Listener()->m_x, 12.5); // moved, and the edit handed over already applied
    EXPECT_EQ(Listener()->m_y, 40.5);
    host.edits[0]->Revert(*scene);
    EXPECT_EQ(Listener()->m_x, 50.0);
    host.edits[0]->Apply(*scene);
    EXPECT_EQ(Listener()->m_x, 12.5);
    EXPECT_FALSE(editor.MoveListenerTo(12.5, 40.5)); // already there: no edit
    EXPECT_EQ(host.edits.size(), 1u);
}

TEST_F(EditorTest, AWheelNotchScrollsTheSameDistanceOnScreenAtEveryZoom) {
    // From 30 pixels per metre down to 3: the line shrinks to a pixel, the notch does not.
    for (int zoomOuts = 0; zoomOuts < 28; zoomOuts += 9) {
        for (int i = 0; i < zoomOuts; ++i) {
            editor.ZoomOut();
        }
        SCOPED_TRACE(editor.PixelsPerMetre());
        editor.OnWheel(-1, false, false, {100, 100});
        const int moved = editor.Scroll().Position().y;
        EXPECT_EQ(moved, std::min(kWheelPixelsPerNotch,
                                  editor.Scroll().MaxPosition(ScrollState::Axis::Vertical)));
        editor.OnWheel(2, false, false, {100, 100}); // back up, held at the top
        EXPECT_EQ(editor.Scroll().Position().y, 0);
    }
}

TEST_F(EditorTest, ThePointersCoordinatesFollowScrollingZoomAndANewSceneWithoutAMove) {
    editor.OnMouseMove({150, 90}); // at 30 pixels per metre: (5, 3)
    EXPECT_EQ(host.pointerText, FormatPointerText(5.0, 3.0));
    editor.OnWheel(-1, false, false, {150, 90}); // the scene moves under the still pointer
    EXPECT_EQ(host.pointerText, FormatPointerText(5.0, (90.0 + kWheelPixelsPerNotch) / 30.0));
    editor.OnWheel(1, false, false, {150, 90});
    editor.ZoomOut(); // 29 pixels per metre, the scroll position at the top-left
    EXPECT_EQ(host.pointerText, FormatPointerText(150.0 / 29.0, 90.0 / 29.0));
    auto other = MakeDefaultScene();
    editor.OnUpdate(other.get(), 2);
    EXPECT_EQ(host.pointerText, FormatPointerText(150.0 / 29.0, 90.0 / 29.0));
    editor.OnUpdate(nullptr, 0);
    EXPECT_EQ(host.pointerText, "");
    editor.OnUpdate(scene.get(), 3);
}

TEST_F(EditorTest, ACheckFindingSelectsTheObjectItNamesAndMarksItsContainer) {
    auto* outer = scene->Add<CRectObject>();
    outer->m_x = 10;
    outer->m_y = 10;
    outer->m_width = 20;
    outer->m_height = 20;
    auto* inner = scene->Add<CRectObject>();
    inner->m_x = 15;
    inner->m_y = 15;
    inner->m_width = 5;
    inner->m_height = 5;
    const auto finding = FindFirstSceneError(scene->objects);
    ASSERT_TRUE(finding);
    EXPECT_EQ(finding->index, 2u); // the inner one's corner lies in the outer one
    EXPECT_EQ(finding->containerIndex, 1u);
    editor.ShowCheckFinding(finding->index, finding->containerIndex);
    EXPECT_EQ(editor.Selected(), inner);
    EXPECT_EQ(inner->m_color, kColorSelected);
    EXPECT_EQ(outer->m_color, kColorSelected); // drawn red too, not selected
    EXPECT_FALSE(outer->m_bSelected);
    editor.OnKeyDown(Key::Tab); // the next selection change draws it black again
    EXPECT_EQ(outer->m_color, kColorBlack);
}

} // namespace sonivera
