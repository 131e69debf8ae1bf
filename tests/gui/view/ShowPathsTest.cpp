// "Показать пути" in the running editor: offered after a calculation, off by default, drawn over
// the plan, the hovered path named in the message pane, Esc clearing the highlight, and an edit
// hiding the paths until the next calculation.
#include "calc/CalcFixture.h"
#include "gui/app/MainFrame.h"
#include "gui/effect/EffectPane.h"
#include "gui/view/PathsOverlayView.h"

#include <wx/bitmap.h>
#include <wx/dcmemory.h>
#include <wx/image.h>

namespace sonivera {

namespace {

class ShowPathsTest : public CalcTest {
protected:
    // Listener (5, 3) and a source (10, 3) above a wall at y = 5: at 30 pixels per metre the
    // direct path runs along y = 90 from x = 150 to x = 300.
    void BuildAndCalculate() {
        ObjectAt(0)->m_x = 5;
        ObjectAt(0)->m_y = 3;
        AddSource({.x = 10, .y = 3});
        AddRect(
            {.x = 0, .y = 5, .width = 15, .height = 1, .reflection = 0.8, .absorption = 1.7e308});
        Calculate();
    }
    void Calculate() {
        ExpectCalcDialog([](CEffectCalcDlg& dialog) { PressButton(dialog, IDC_CALCULATE); });
        Command(ID_CALC_EFFECT);
        dialogs.Verify();
    }
    static CommandState PathsCommand() { return Frame().QueryCommand(ID_VIEW_PATHS); }
    // The pixel at (x, y) of the view's picture (top-left 400 × 200 of the client area).
    static wxColour PixelAt(int x, int y) {
        wxBitmap bitmap(400, 200, 24);
        {
            wxMemoryDC dc(bitmap);
            dc.SetBackground(*wxWHITE_BRUSH);
            dc.Clear();
            View().PaintArea(dc, wxRect(0, 0, 400, 200));
        }
        const wxImage image = bitmap.ConvertToImage();
        return wxColour(image.GetRed(x, y), image.GetGreen(x, y), image.GetBlue(x, y));
    }
    static int DirectPath() {
        const auto& paths = View().Paths().Overlay().Paths();
        for (std::size_t i = 0; i < paths.size(); ++i) {
            if (paths[i].ray < 0) {
                return static_cast<int>(i);
            }
        }
        return -1;
    }
};

} // namespace

TEST_F(ShowPathsTest, OfferedAfterACalculationShownOnRequestAndHiddenByAnEdit) {
    EXPECT_FALSE(PathsCommand().enabled);
    BuildAndCalculate();
    EXPECT_TRUE(PathsCommand().enabled);
    EXPECT_FALSE(PathsCommand().checked); // off by default: the plan is drawn as before
    EXPECT_EQ(PixelAt(225, 90), *wxWHITE);

    Command(ID_VIEW_PATHS);
    EXPECT_TRUE(PathsCommand().checked);
    const int direct = DirectPath();
    ASSERT_GE(direct, 0);
    const RgbColor expected = View().Paths().Overlay().ColorOf(direct);
    EXPECT_EQ(PixelAt(225, 90).GetRGB(), expected);

    // Hovering the direct path names it; a bin highlight and the hover are cleared by Esc.
    MoveTo(225, 90);
    EXPECT_EQ(View().Paths().Overlay().Hovered(), direct);
    EXPECT_EQ(StatusPane(0).rfind("Путь: задержка 16.7 мс, уровень 0.0 дБ, отражений 0, "
                                  "прохождений 0",
                                  0),
              0u)
        << StatusPane(0);
    // A click on the echogram's bar of bin 1 (10–20 ms, the direct sound's) highlights its paths.
    CEffectPane* pane = Frame().GetEffectPane();
    ASSERT_NE(pane, nullptr);
    wxWindow* plot = pane->PlotWindow();
    const wxSize size = plot->GetClientSize();
    int x = 0;
    while (x < size.x && pane->PointAt({x, size.y / 2}) != std::optional<std::size_t>(1)) {
        ++x;
    }
    ASSERT_LT(x, size.x) << "no bar of bin 1 in a plot of " << size.x << " pixels";
    wxMouseEvent click(wxEVT_LEFT_DOWN);
    click.SetPosition({x, size.y / 2});
    click.SetEventObject(plot);
    plot->ProcessWindowEvent(click);
    EXPECT_EQ(View().Paths().Overlay().HighlightedBin(), 1);
    Key(WXK_ESCAPE);
    EXPECT_EQ(View().Paths().Overlay().HighlightedBin(), -1);
    EXPECT_EQ(View().Paths().Overlay().Hovered(), -1);
    EXPECT_EQ(StatusPane(0), "Готово");

    // Moving the source: the paths no longer match and are gone until the next calculation.
    ObjectAt(1)->m_x = 11;
    EXPECT_EQ(PixelAt(225, 90), *wxWHITE);
    EXPECT_FALSE(PathsCommand().enabled);
    Calculate();
    EXPECT_TRUE(PathsCommand().checked);
}

} // namespace sonivera
