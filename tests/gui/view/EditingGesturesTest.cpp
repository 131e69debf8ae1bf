#include "view/ViewFixture.h"

#include <wx/settings.h>

#include "gui/common/CommandIds.h"
#include "core/model/Listener.h"
#include "core/model/RectObject.h"
#include "core/model/SceneFile.h"
#include "core/model/SoundSource.h"

#include <wx/scrolbar.h>

namespace sonivera {

// At the starting zoom of 30 pixels per metre and no scrolling, window pixel p is p / 30 metres;
// the default scene snaps to a 1 m grid.

TEST_F(ViewTest, ARectangleDrawnOnTheCanvasIsSnappedNormalisedAndSaved) {
    // The four directions, the snapping and the normalising are the controller's (core tests);
    // here the pointer reaches it through the canvas, the capture ends and the file holds it.
    UseTool(ID_TOOL_RECT);
    Drag(542, 505, 455, 446); // to the upper left
    auto* rect = dynamic_cast<CRectObject*>(Scene().objects.back().get());
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(View().Selected(), rect);
    EXPECT_EQ(rect->m_color, kColorSelected);
    EXPECT_FALSE(Canvas().HasCapture()); // the release gave the pointer back
    EXPECT_TRUE(Doc().IsModified());

    const std::string path = dir.File("drawn.3d");
    ASSERT_TRUE(Doc().SaveSceneFile(wxString::FromUTF8(path)));
    const auto saved = ReadSceneFile(path);
    ASSERT_EQ(saved->objects.size(), 2u);
    auto* kept = dynamic_cast<CRectObject*>(saved->objects.back().get());
    ASSERT_NE(kept, nullptr);
    EXPECT_EQ(kept->m_x, 15.0);
    EXPECT_EQ(kept->m_y, 15.0);
    EXPECT_EQ(kept->m_width, 3.0);
    EXPECT_EQ(kept->m_height, 2.0);
    EXPECT_EQ(kept->m_absorption, 1.7e308);
    EXPECT_EQ(kept->m_reflection, 0.0);
}

TEST_F(ViewTest, ADoubleClickCountsAsAPressOfTheCyclicPick) {
    // The cycling order is the controller's (core tests); a quick second press comes from the
    // toolkit as a double click and must step the pick all the same.
    CSceneObject* listener = Scene().FirstObject();
    listener->m_x = 2.0;
    listener->m_y = 2.0;
    UseTool(ID_TOOL_SOURCE);
    Click(60, 60); // a source on the listener
    Doc().Modify(false);

    UseTool(ID_TOOL_SELECT);
    Mouse(wxEVT_LEFT_DOWN, 60, 60);
    Release(60, 60);
    EXPECT_EQ(View().Selected(), listener);
    Mouse(wxEVT_LEFT_DCLICK, 60, 60);
    Release(60, 60);
    EXPECT_EQ(View().Selected(), ObjectAt(1));
    Click(900, 900); // empty space
    EXPECT_EQ(View().Selected(), nullptr);
    EXPECT_FALSE(Doc().IsModified());
}

TEST_F(ViewTest, MovingFollowsThePointerStopsAtTheEdgeAndSnapsOnRelease) {
    UseTool(ID_TOOL_SOURCE);
    Click(75, 45); // (2.5, 1.5), exactly where pressed although snapping is on
    auto* source = dynamic_cast<CSoundSource*>(Scene().objects.back().get());
    ASSERT_NE(source, nullptr);
    EXPECT_EQ(source->m_x, 2.5);
    EXPECT_EQ(source->m_y, 1.5);
    Doc().Modify(false);

    UseTool(ID_TOOL_MOVE);
    Press(75, 45);
    MoveTo(15, 45); // 2 m to the left: x 0.5
    EXPECT_EQ(source->m_x, 0.5);
    MoveTo(-45, 45); // 2 m further, outside the window: stops at 0, the overshoot forgotten
    EXPECT_EQ(source->m_x, 0.0);
    MoveTo(-15, 45); // 1 m back
    EXPECT_EQ(source->m_x, 1.0);
    MoveTo(-12, 52); // a little more: shown on the grid point where it will land
    EXPECT_FALSE(Doc().IsModified());
    Release(-12, 52);
    EXPECT_EQ(source->m_x, 1.0);
    EXPECT_EQ(source->m_y, 2.0);
    EXPECT_TRUE(Doc().IsModified());
    EXPECT_FALSE(Canvas().HasCapture());
}

TEST_F(ViewTest, TabFromTheCanvasStepsTheSelection) {
    // The order and the wrap are the controller's (core tests).
    CSceneObject* listener = Scene().FirstObject();
    UseTool(ID_TOOL_SOURCE);
    Click(75, 45);
    CSceneObject* source = Scene().objects.back().get();
    Key(WXK_TAB); // from the last object
    EXPECT_EQ(View().Selected(), listener);
    Key(WXK_TAB);
    EXPECT_EQ(View().Selected(), source);
    EXPECT_EQ(source->m_color, kColorSelected);
    EXPECT_EQ(listener->m_color, kColorBlack);
}

TEST_F(ViewTest, StatusPanesShowThePointerAndTheScale) {
    EXPECT_EQ(StatusPane(2), "Масштаб 1:1");
    MoveTo(75, 45);
    EXPECT_EQ(StatusPane(1), "x = 2.5, y = 1.5");
    MoveTo(3010, 45); // right of the scene
    EXPECT_EQ(StatusPane(1), "");

    Command(ID_ZOOM_IN); // disabled at 30 pixels per metre
    EXPECT_EQ(View().Controller().PixelsPerMetre(), 30);
    Command(ID_ZOOM_OUT);
    EXPECT_EQ(StatusPane(2), "Масштаб 1:1.034");
    EXPECT_FALSE(Doc().IsModified());
}

TEST_F(ViewTest, ScrollBarsFollowTheZoomTheArrowsAndTheScrollBarsOwnActions) {
    // The range is the extent and the border line; the thumb is the width the vertical bar leaves.
    EXPECT_EQ(Canvas().GetScrollRange(wxHORIZONTAL), 3001);
    const int barWidth = wxSystemSettings::GetMetric(wxSYS_VSCROLL_X, &Canvas());
    EXPECT_GT(barWidth, 0);
    EXPECT_EQ(Canvas().GetScrollThumb(wxHORIZONTAL), Canvas().GetSize().x - barWidth);
    Key(WXK_RIGHT); // one line: 30 / 4 pixels
    Key(WXK_DOWN);
    EXPECT_EQ(Canvas().GetScrollPos(wxHORIZONTAL), 7);
    EXPECT_EQ(Canvas().GetScrollPos(wxVERTICAL), 7);
    wxScrollWinEvent page(wxEVT_SCROLLWIN_PAGEDOWN, 0, wxVERTICAL);
    Canvas().ProcessWindowEvent(page); // one page: 3000 / 8
    EXPECT_EQ(Canvas().GetScrollPos(wxVERTICAL), 382);

    // Presses count from the scrolled origin.
    UseTool(ID_TOOL_SOURCE);
    Click(23, 8);
    EXPECT_EQ(Scene().objects.back()->m_x, 1.0);
    EXPECT_EQ(Scene().objects.back()->m_y, 13.0);

    Command(ID_ZOOM_OUT); // back to the top-left corner
    EXPECT_EQ(Canvas().GetScrollRange(wxHORIZONTAL), 2901);
    EXPECT_EQ(Canvas().GetScrollPos(wxHORIZONTAL), 0);
    EXPECT_EQ(Canvas().GetScrollPos(wxVERTICAL), 0);

    // Page Up, Page Down, Home and End do nothing in the view.
    for (int key : {WXK_PAGEDOWN, WXK_PAGEUP, WXK_HOME, WXK_END}) {
        Key(key);
        EXPECT_EQ(Canvas().GetScrollPos(wxVERTICAL), 0) << key;
        EXPECT_EQ(Canvas().GetScrollPos(wxHORIZONTAL), 0) << key;
    }
}

TEST_F(ViewTest, TheFarCornerCanBeScrolledToAndPickedAtEveryZoom) {
    UseTool(ID_TOOL_SOURCE);
    for (int zoom = 30; zoom >= 1; zoom -= 7) {
        while (View().Controller().PixelsPerMetre() > zoom) {
            Command(ID_ZOOM_OUT);
        }
        for (int orientation : {wxHORIZONTAL, wxVERTICAL}) {
            wxScrollWinEvent end(wxEVT_SCROLLWIN_BOTTOM, 0, orientation);
            Canvas().ProcessWindowEvent(end);
        }
        // The corner lies within what the bars leave (their thumbs); a press there adds a source
        // on it.
        const int right = Canvas().GetScrollThumb(wxHORIZONTAL) - 1;
        const int bottom = Canvas().GetScrollThumb(wxVERTICAL) - 1;
        const int cornerX = 100 * zoom - Canvas().GetScrollPos(wxHORIZONTAL);
        const int cornerY = 100 * zoom - Canvas().GetScrollPos(wxVERTICAL);
        EXPECT_LE(cornerX, right) << zoom;
        EXPECT_LE(cornerY, bottom) << zoom;
        Click(cornerX, cornerY);
        EXPECT_EQ(Scene().objects.back()->m_x, 100.0) << zoom;
        EXPECT_EQ(Scene().objects.back()->m_y, 100.0) << zoom;
    }
}

TEST_F(ViewTest, NewAndOpenClearTheSelectionButKeepTheZoom) {
    Key(WXK_TAB);
    Command(ID_ZOOM_OUT);
    const std::string path = dir.File("kept.3d");
    ASSERT_TRUE(Doc().SaveSceneFile(wxString::FromUTF8(path)));
    Doc().OpenSceneFile(wxString::FromUTF8(path));
    EXPECT_EQ(View().Selected(), nullptr);
    Key(WXK_TAB);
    Command(ID_FILE_NEW);
    EXPECT_EQ(View().Selected(), nullptr);
    EXPECT_EQ(View().ShownScene(), Doc().GetScene());
    EXPECT_EQ(View().Controller().PixelsPerMetre(), 29);
}

} // namespace sonivera
