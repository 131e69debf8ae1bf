#include "view/ViewFixture.h"

#include <wx/settings.h>

#include "gui/app/CommandIds.h"
#include "core/model/Listener.h"
#include "core/model/RectObject.h"
#include "core/model/SceneFile.h"
#include "core/model/SoundSource.h"

#include <wx/scrolbar.h>

namespace sonivera {

// At the starting zoom of 30 pixels per metre and no scrolling, window pixel p is p / 30 metres;
// the default scene snaps to a 1 m grid.

TEST_F(ViewTest, RectanglesDrawnInEveryDirectionAreSnappedNormalisedAndSaved) {
    UseTool(ID_TOOL_RECT);
    struct Case {
        int x0, y0, x1, y1;         // press and release, window pixels
        double x, y, width, height; // the rectangle kept
    };
    const Case cases[] = {
        {155, 146, 242, 205, 5, 5, 3, 2},   // to the lower right
        {542, 505, 455, 446, 15, 15, 3, 2}, // to the upper left
        {755, 505, 842, 446, 25, 15, 3, 2}, // to the upper right
        {242, 746, 155, 805, 5, 25, 3, 2},  // to the lower left
    };
    for (const Case& c : cases) {
        Drag(c.x0, c.y0, c.x1, c.y1);
        auto* rect = dynamic_cast<CRectObject*>(Scene().objects.back().get());
        ASSERT_NE(rect, nullptr);
        EXPECT_EQ(View().Selected(), rect);
        EXPECT_EQ(rect->m_color, kColorSelected);
        EXPECT_EQ(rect->m_x, c.x);
        EXPECT_EQ(rect->m_y, c.y);
        EXPECT_EQ(rect->m_width, c.width);
        EXPECT_EQ(rect->m_height, c.height);
        EXPECT_FALSE(Canvas().HasCapture()); // the release gave the pointer back
    }
    ASSERT_EQ(Scene().objects.size(), 5u);
    EXPECT_TRUE(Doc().IsModified());

    // What was drawn is what the file holds.
    const std::string path = dir.File("drawn.3d");
    ASSERT_TRUE(Doc().SaveSceneFile(wxString::FromUTF8(path)));
    const auto saved = ReadSceneFile(path);
    ASSERT_EQ(saved->objects.size(), 5u);
    auto it = std::next(saved->objects.begin());
    for (const Case& c : cases) {
        auto* rect = dynamic_cast<CRectObject*>(it++->get());
        ASSERT_NE(rect, nullptr);
        EXPECT_EQ(rect->m_x, c.x);
        EXPECT_EQ(rect->m_y, c.y);
        EXPECT_EQ(rect->m_width, c.width);
        EXPECT_EQ(rect->m_height, c.height);
        EXPECT_EQ(rect->m_absorption, 1.7e308);
        EXPECT_EQ(rect->m_reflection, 0.0);
    }
}

TEST_F(ViewTest, ZeroSizeRectangleIsRemovedAndTheEarlierSelectionStaysDeselected) {
    Key(WXK_TAB);
    CSceneObject* listener = Scene().FirstObject();
    ASSERT_EQ(View().Selected(), listener);
    UseTool(ID_TOOL_RECT);
    // The two corners snap to the same grid line across: removed on release.
    Press(155, 146);
    EXPECT_TRUE(Canvas().HasCapture());
    MoveTo(165, 400);
    EXPECT_EQ(Scene().objects.size(), 2u);
    Release(165, 400);
    EXPECT_EQ(Scene().objects.size(), 1u);
    EXPECT_EQ(View().Selected(), nullptr);
    EXPECT_FALSE(listener->m_bSelected);
    EXPECT_EQ(listener->m_color, kColorBlack);
    EXPECT_FALSE(Doc().IsModified());
}

TEST_F(ViewTest, PressesCycleThroughOverlappingObjectsInListOrder) {
    CSceneObject* listener = Scene().FirstObject();
    listener->m_x = 2.0;
    listener->m_y = 2.0;
    UseTool(ID_TOOL_SOURCE);
    Click(60, 60); // a source on the listener
    UseTool(ID_TOOL_RECT);
    Drag(30, 30, 120, 120); // a rectangle under both
    ASSERT_EQ(Scene().objects.size(), 3u);
    Doc().Modify(false);

    UseTool(ID_TOOL_SELECT);
    CSceneObject* expected[] = {listener, ObjectAt(1), ObjectAt(2), listener};
    bool quick = false;
    for (CSceneObject* object : expected) {
        // Every other press comes quickly after the one before: the toolkit reports it as a
        // double click, and it counts as a press all the same.
        Mouse(quick ? wxEVT_LEFT_DCLICK : wxEVT_LEFT_DOWN, 60, 60);
        Release(60, 60);
        quick = !quick;
        EXPECT_EQ(View().Selected(), object);
        for (const auto& each : Scene().objects) {
            EXPECT_EQ(each->m_bSelected, each.get() == object);
        }
    }
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

TEST_F(ViewTest, TabStepsTheSelectionAndWrapsToTheListener) {
    CSceneObject* listener = Scene().FirstObject();
    Key(WXK_TAB); // the listener alone: selected, and it stays so
    EXPECT_EQ(View().Selected(), listener);
    Key(WXK_TAB);
    EXPECT_EQ(View().Selected(), listener);

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
