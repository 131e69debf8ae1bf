// The "Эффект" pane in the editor: its toggle, and that it follows calculations and New.
#include "calc/CalcFixture.h"
#include "gui/common/CommandIds.h"

#include "gui/app/MainFrame.h"
#include "gui/effect/EffectPane.h"

namespace sonivera {

class EffectPaneTest : public CalcTest {
protected:
    static CEffectPane& Pane() { return *Frame().GetEffectPane(); }
    static bool PaneShown() {
        return Frame().GetAuiManager().GetPane(CEffectPane::kPaneName).IsShown();
    }
};

TEST_F(EffectPaneTest, ViewMenuTogglesThePane) {
    const bool before = PaneShown();
    Command(ID_VIEW_EFFECT_PANE);
    EXPECT_NE(PaneShown(), before);
    EXPECT_EQ(Frame().QueryCommand(ID_VIEW_EFFECT_PANE).checked, PaneShown());
    Command(ID_VIEW_EFFECT_PANE);
    EXPECT_EQ(PaneShown(), before);
}

TEST_F(EffectPaneTest, ShowsTheEffectAfterACalculationAndEmptiesOnNew) {
    AddRect({.x = 60, .y = 20, .width = 5, .height = 30, .reflection = 0.5, .absorption = 0.5});
    AddSource({.x = 80, .y = 30});
    Scene().params.groupTime = 5.0;
    ExpectCalcDialog([](CEffectCalcDlg& dialog) { PressButton(dialog, IDC_CALCULATE); });
    Command(ID_CALC_EFFECT);
    dialogs.Verify();
    ASSERT_TRUE(Pane().HasEffect());
    EXPECT_TRUE(PaneShown());
    ASSERT_EQ(Pane().Bins().size(), static_cast<std::size_t>(Scene().effectCount));
    EXPECT_EQ(Pane().Bins()[3], Scene().effect[3]);
    EXPECT_EQ(Pane().GroupTime(), 5.0);
    // The same calculation's response at audio resolution, for listening and export.
    EXPECT_EQ(Pane().ResponseRate(), 48000);
    EXPECT_EQ(Pane().Response().size(),
              static_cast<std::size_t>(Scene().params.stopTime / 1000.0 * 48000.0) + 1);

    // The bin under the pointer, and a click on a bar reaching the hook.
    Pane().SetSize(800, 400);
    Pane().Layout();
    std::optional<std::size_t> clicked;
    Pane().SetBinClickHandler([&](std::size_t bin) { clicked = bin; });
    const wxSize plot = Pane().PlotWindow()->GetClientSize();
    const wxPoint inside(plot.x / 4, plot.y / 2);
    EXPECT_TRUE(Pane().PointAt(inside));
    wxMouseEvent click(wxEVT_LEFT_DOWN);
    click.SetPosition(inside);
    click.SetEventObject(Pane().PlotWindow());
    Pane().PlotWindow()->ProcessWindowEvent(click);
    EXPECT_EQ(clicked, Pane().HoveredBin());

    // A marked figure explains itself on hover; the onset field moves time zero.
    Pane().SetOnsetDb(0.0);
    EXPECT_EQ(Pane().OnsetDb(), 0.0);

    Command(ID_FILE_NEW);
    EXPECT_FALSE(Pane().HasEffect());
    EXPECT_TRUE(Pane().Response().empty());
}

TEST_F(EffectPaneTest, AnEditMarksTheEffectOutOfDateAndASceneWithoutSourcesSaysWhy) {
    // Without sources: silence, a line saying why, nothing to export or listen to.
    ExpectCalcDialog([](CEffectCalcDlg& dialog) { PressButton(dialog, IDC_CALCULATE); });
    Command(ID_CALC_EFFECT);
    dialogs.Verify();
    ASSERT_TRUE(Pane().HasEffect());
    EXPECT_FALSE(Pane().HasSound());
    EXPECT_EQ(Pane().Note(), "В сцене нет источников звука: эффект пуст (добавьте источник)");

    AddSource({.x = 8, .y = 3}); // at 30 pixels per metre: (240, 90) on the canvas
    AddRect({.x = 60, .y = 20, .width = 5, .height = 30, .reflection = 0.5, .absorption = 0.5});
    ExpectCalcDialog([](CEffectCalcDlg& dialog) { PressButton(dialog, IDC_CALCULATE); });
    Command(ID_CALC_EFFECT);
    dialogs.Verify();
    EXPECT_TRUE(Pane().HasSound());
    EXPECT_EQ(Pane().Note(), "");
    // An edit of the scene (a drag of the source) marks the effect out of date; undo makes it
    // current again.
    UseTool(ID_TOOL_MOVE);
    Drag(240, 90, 300, 90);
    EXPECT_EQ(Pane().Note(), "Эффект устарел: сцена изменена после расчёта");
    Command(ID_EDIT_UNDO);
    EXPECT_EQ(Pane().Note(), "");
    Pane().CalculationStopped();
    EXPECT_EQ(Pane().Note(), "Новый расчёт остановлен: показан прежний эффект");
}

} // namespace sonivera
