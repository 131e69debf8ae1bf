// The acoustic map in the running editor: computed through its command and dialog, drawn under
// the objects, read out under the pointer, a double-click moving the listener and calculating its
// effect, an edit greying the map and New clearing it.
#include "calc/CalcFixture.h"
#include "gui/app/MainFrame.h"
#include "gui/app/MapStatusProgress.h"
#include "gui/calc/MapDlg.h"
#include "gui/view/MapOverlayView.h"

#include <wx/bitmap.h>
#include <wx/dcmemory.h>
#include <wx/image.h>
#include <wx/textctrl.h>

#include <chrono>
#include <thread>

namespace sonivera {

namespace {

class MapOverlayTest : public CalcTest {
protected:
    // A wall and a source; a 10 m map computed through "Рассчитать карту...".
    void BuildAndMap() {
        Scene().params.rayCount = 24;
        AddSource({.x = 80, .y = 30});
        AddRect(
            {.x = 40, .y = 40, .width = 20, .height = 20, .reflection = 0.8, .absorption = 0.5});
        dialogs.Then([](wxDialog& dialog) {
            auto* map = dynamic_cast<CMapDlg*>(&dialog);
            EXPECT_NE(map, nullptr) << "expected the map dialog";
            if (map) {
                map->SetSteps(10.0, 10.0);
            }
            return int(wxID_OK);
        });
        Command(ID_CALC_MAP);
        dialogs.Verify();
        ASSERT_TRUE(View().Map().Available());
        for (int i = 0; i < 2000 && View().Map().Running(); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
            View().Map().Poll();
        }
        View().Map().Poll();
    }
    static wxColour PixelAt(int x, int y) {
        wxBitmap bitmap(400, 400, 24);
        {
            wxMemoryDC dc(bitmap);
            dc.SetBackground(*wxWHITE_BRUSH);
            dc.Clear();
            View().PaintArea(dc, wxRect(0, 0, 400, 400));
        }
        const wxImage image = bitmap.ConvertToImage();
        return wxColour(image.GetRed(x, y), image.GetGreen(x, y), image.GetBlue(x, y));
    }
    // The window pixel of a scene point.
    static wxPoint WindowOf(double x, double y) {
        const int ppm = View().Controller().PixelsPerMetre();
        const PixelPoint scroll = View().ScrollPosition();
        return {static_cast<int>(x * ppm) - scroll.x, static_cast<int>(y * ppm) - scroll.y};
    }
};

} // namespace

TEST_F(MapOverlayTest, FillsInUnderTheObjectsMovesTheListenerOnADoubleClickAndGreysOnAnEdit) {
    EXPECT_FALSE(Frame().QueryCommand(ID_VIEW_MAP).enabled);
    BuildAndMap();
    EXPECT_EQ(View().Map().Session()->Done(), 100u);
    EXPECT_TRUE(Frame().QueryCommand(ID_VIEW_MAP).checked);
    EXPECT_FALSE(Frame().QueryCommand(ID_MAP_STOP).enabled);
    EXPECT_FALSE(Frame().GetMapProgress()->IsShown());

    // The cell of the point (5, 5) is painted in a colour of the map, not left white.
    const wxPoint cell = WindowOf(5.0, 5.0);
    const wxColour painted = PixelAt(cell.x + 2, cell.y + 2);
    EXPECT_FALSE(painted == *wxWHITE) << painted.GetAsString().utf8_string();
    Command(ID_VIEW_MAP); // hidden: white again
    EXPECT_TRUE(PixelAt(cell.x + 2, cell.y + 2) == *wxWHITE);
    Command(ID_VIEW_MAP);

    // The read-out under the pointer names the point and its figures.
    MoveTo(cell.x, cell.y);
    EXPECT_EQ(
        StatusPane(0).rfind("Карта (5; 5) [двойной щелчок — слушатель сюда]: Первый приход", 0), 0u)
        << StatusPane(0);

    // The read-out goes when what it named may have moved: a zoom, hiding the map.
    Command(ID_ZOOM_OUT);
    EXPECT_EQ(StatusPane(0), "");
    Command(ID_ZOOM_IN);
    MoveTo(cell.x, cell.y);
    EXPECT_NE(StatusPane(0), "");
    Command(ID_VIEW_MAP);
    EXPECT_EQ(StatusPane(0), "");
    Command(ID_VIEW_MAP);

    // Inside the wall, or with another tool, a double-click does not move the listener.
    const wxPoint wall = WindowOf(45.0, 45.0);
    MoveTo(wall.x, wall.y);
    EXPECT_EQ(StatusPane(0).find("двойной щелчок"), std::string::npos) << StatusPane(0);
    Mouse(wxEVT_LEFT_DCLICK, wall.x, wall.y);
    wxTheApp->ProcessPendingEvents();
    EXPECT_EQ(StatusPane(0), "Слушателя нельзя перенести внутрь прямоугольника");
    EXPECT_EQ(ObjectAt(0)->m_x, 50.0);
    UseTool(ID_TOOL_MOVE);
    Mouse(wxEVT_LEFT_DCLICK, cell.x, cell.y);
    Release(cell.x, cell.y);
    wxTheApp->ProcessPendingEvents();
    EXPECT_EQ(ObjectAt(0)->m_x, 50.0);
    UseTool(ID_TOOL_SELECT);

    // A double-click moves the listener there and calculates its effect in the dialog.
    ExpectCalcDialog([](CEffectCalcDlg&) {});
    Mouse(wxEVT_LEFT_DCLICK, cell.x, cell.y);
    wxTheApp->ProcessPendingEvents();
    dialogs.Verify();
    EXPECT_EQ(ObjectAt(0)->m_x, 5.0);
    EXPECT_EQ(ObjectAt(0)->m_y, 5.0);
    EXPECT_TRUE(Doc().GetCommandProcessor()->CanUndo());
    EXPECT_FALSE(View().Map().Stale(&Scene())); // where the listener stands is no edit of a map

    // Editing the plan makes the map stale; New clears it.
    ObjectAt(2)->m_x += 1.0;
    EXPECT_TRUE(View().Map().Stale(&Scene()));
    dialogs.ThenMessage("Save changes to", wxID_NO);
    Command(ID_FILE_NEW);
    dialogs.Verify();
    EXPECT_FALSE(View().Map().Available());
    EXPECT_EQ(View().Map().Start(Scene(), 150.0, 1.0, MapFigure::C50).rfind(
                  "Шаг карты длиннее стороны сцены", 0),
              0u);
}

TEST_F(MapOverlayTest, StepFieldsTakeADecimalCommaAndRefuseWhatIsOutOfRangeWithAMessage) {
    EXPECT_EQ(CMapDlg::ParseStep("0,5"), 0.5);
    EXPECT_EQ(CMapDlg::ParseStep(" 2.5 "), 2.5);
    EXPECT_EQ(CMapDlg::ParseStep("1000"), 1000.0);
    for (const char* refused : {"0", "0,05", "1000,5", "1,000.5", "abc", "", "-1"}) {
        EXPECT_FALSE(CMapDlg::ParseStep(refused).has_value()) << refused;
    }
    // OK with a refused step: the message, and the dialog stays open with the field selected.
    CMapDlg dialog(&Frame(), 1.0, 1.0, MapFigure::C50);
    wxTextCtrl* field = nullptr; // the first step field, along x
    for (wxWindow* child : dialog.GetChildren()) {
        if (auto* text = dynamic_cast<wxTextCtrl*>(child); text && !field) {
            field = text;
        }
    }
    ASSERT_NE(field, nullptr);
    field->SetValue("0");
    dialogs.ThenMessage("Шаг карты — число метров от 0,1 до 1000");
    wxCommandEvent ok(wxEVT_BUTTON, wxID_OK);
    dialog.ProcessWindowEvent(ok);
    dialogs.Verify();
    EXPECT_FALSE(dialog.IsModal());
    dialog.SetSteps(0.25, 4.0);
    EXPECT_EQ(dialog.StepX(), 0.25);
    EXPECT_EQ(dialog.StepY(), 4.0);
    // Too many points: refused in the editor's words, nothing started.
    EXPECT_EQ(View().Map().Start(Scene(), 0.01, 0.01, MapFigure::C50),
              "Карта с таким шагом имела бы 100000000 точек; можно не больше 1000000. Возьмите "
              "шаг крупнее.");
    EXPECT_FALSE(View().Map().Available());
}

TEST_F(MapOverlayTest, EscStopsAMapUnderWayAndTheLastMapsEndIsNotShownDuringTheNext) {
    BuildAndMap();
    EXPECT_EQ(StatusPane(0), "Карта рассчитана");
    // A map far too long to finish before Esc arrives.
    Scene().params.rayCount = 5000;
    ASSERT_EQ(View().Map().Start(Scene(), 1.0, 1.0, MapFigure::C50), "");
    EXPECT_EQ(StatusPane(0), "");
    EXPECT_TRUE(View().Map().Running());
    Key(WXK_ESCAPE);
    for (int i = 0; i < 5000 && View().Map().Running(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    View().Map().Poll();
    EXPECT_TRUE(View().Map().Session()->Stopped());
    EXPECT_LT(View().Map().Session()->Done(), View().Map().Session()->Total());
    EXPECT_EQ(StatusPane(0), "Расчёт карты остановлен");

    // Wherever the focus is in the window: the key reaches the frame first.
    ASSERT_EQ(View().Map().Start(Scene(), 1.0, 1.0, MapFigure::C50), "");
    wxKeyEvent esc(wxEVT_CHAR_HOOK);
    esc.m_keyCode = WXK_ESCAPE;
    esc.SetEventObject(&Frame());
    Frame().ProcessWindowEvent(esc);
    for (int i = 0; i < 5000 && View().Map().Running(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    EXPECT_TRUE(View().Map().Session()->Stopped());
}

TEST_F(MapOverlayTest, AMapWithoutSoundAnywhereSaysSoInsteadOfLookingDone) {
    // The new scene: a listener and no source.
    ASSERT_EQ(View().Map().Start(Scene(), 25.0, 25.0, MapFigure::C50), "");
    for (int i = 0; i < 2000 && View().Map().Running(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        View().Map().Poll();
    }
    View().Map().Poll();
    EXPECT_EQ(StatusPane(0),
              "Карта рассчитана, но звук не доходит ни до одной точки (нет источников звука?)");
}

} // namespace sonivera
