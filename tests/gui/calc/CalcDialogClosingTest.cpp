// The calculation dialog in its real modal loop: the ways it ends and the input it refuses while
// a calculation runs.
#include "calc/CalcFixture.h"
#include "gui/calc/CalcWorker.h"

#include <iostream>

#include <wx/timer.h>

#include <dlfcn.h>

namespace sonivera {

namespace {

class CalcDialogClosingTest : public CalcTest {
protected:
    void SetUp() override {
        CalcTest::SetUp();
        AddRect({.x = 60, .y = 20, .width = 5, .height = 30, .reflection = 0.5, .absorption = 0.5});
        AddSource({.x = 80, .y = 30});
        // A first showing leaves an effect in the scene record.
        ExpectCalcDialog([](CEffectCalcDlg& dialog) { PressButton(dialog, IDC_CALCULATE); });
        Command(ID_CALC_EFFECT);
        dialogs.Verify();
        ASSERT_NE(Scene().effect, nullptr);
        effect = Scene().effect.get();
        bytes = CurrentEffectBytes();
    }

    // Shows the dialog for real; once its modal loop runs, `action` is called. A dialog still
    // open a few seconds later is ended so that the test fails instead of waiting.
    void ShowAndThen(std::function<void(CEffectCalcDlg&)> action) {
        wxTimer watchdog;
        dialogs.Then([&](wxDialog& dialog) {
            auto* calc = dynamic_cast<CEffectCalcDlg*>(&dialog);
            EXPECT_NE(calc, nullptr);
            if (!calc) {
                return int(wxID_CANCEL);
            }
            watchdog.Bind(wxEVT_TIMER, [calc](wxTimerEvent&) {
                if (calc->IsModal()) {
                    ADD_FAILURE() << "the dialog is still open";
                    calc->EndModal(wxID_ABORT);
                }
            });
            calc->CallAfter([calc, &action, &watchdog] {
                watchdog.StartOnce(5000);
                action(*calc);
            });
            return int(wxID_NONE); // run the real modal loop
        });
        Command(ID_CALC_EFFECT);
        watchdog.Stop();
        dialogs.Verify();
    }

    static void PressEscape(wxWindow& window) {
        wxKeyEvent key(wxEVT_CHAR_HOOK);
        key.m_keyCode = WXK_ESCAPE;
        key.SetEventObject(&window);
        window.ProcessWindowEvent(key);
    }

    // What the toolkit does on Enter: activates the focused button if there is one, else the
    // window's default button.
    static void PressEnter(wxDialog& dialog) {
        using Activate = int (*)(void*);
        auto activate =
            reinterpret_cast<Activate>(dlsym(RTLD_DEFAULT, "gtk_window_activate_default"));
        ASSERT_NE(activate, nullptr);
        EXPECT_TRUE(activate(dialog.GetHandle()));
    }

    void ExpectEffectKept() {
        EXPECT_EQ(Scene().effect.get(), effect);
        EXPECT_EQ(CurrentEffectBytes(), bytes);
    }

    const double* effect = nullptr;
    Bytes bytes;
};

} // namespace

TEST_F(CalcDialogClosingTest, CloseButtonEndsTheDialogAndKeepsEffectAndCleanFlag) {
    ShowAndThen([](CEffectCalcDlg& dialog) {
        EXPECT_TRUE(dialog.IsModal());
        EXPECT_FALSE(SaveEnabled(dialog));
        PressButton(dialog, wxID_OK);
    });
    ExpectEffectKept();
    EXPECT_FALSE(Doc().IsModified());
}

TEST_F(CalcDialogClosingTest, EnterEndsTheDialogAndKeepsEffectAndModifiedFlag) {
    Doc().Modify(true);
    bool calculated = false;
    ShowAndThen([&](CEffectCalcDlg& dialog) {
        dialog.SetProgressObserver([&](int) { calculated = true; });
        PressEnter(dialog);
    });
    EXPECT_FALSE(calculated); // "Закрыть" has the focus, not "Рассчитать эффект"
    ExpectEffectKept();
    EXPECT_TRUE(Doc().IsModified());
}

TEST_F(CalcDialogClosingTest, EscapeEndsTheDialogAndKeepsEffectAndFlag) {
    ShowAndThen([](CEffectCalcDlg& dialog) { PressEscape(dialog); });
    ExpectEffectKept();
    EXPECT_FALSE(Doc().IsModified());
}

TEST_F(CalcDialogClosingTest, InputDuringACalculationIsRefusedButEscapeStopsIt) {
    // Seconds of work, so the calculation is still running when its first position is shown,
    // however late the busy machine lets this thread see it.
    Scene().params.rayCount = 2000000;
    Doc().Modify(true);
    ShowAndThen([&](CEffectCalcDlg& dialog) {
        bool tried = false;
        dialog.SetProgressObserver([&](int position) {
            if (position >= 1 && !tried) {
                tried = true;
                EXPECT_TRUE(dialog.IsCalculating());
                PressButton(dialog, IDC_CALCULATE); // refused: one calculation at a time
                wxCloseEvent close(wxEVT_CLOSE_WINDOW, dialog.GetId());
                close.SetEventObject(&dialog);
                close.SetCanVeto(true);
                dialog.ProcessWindowEvent(close);
                EXPECT_TRUE(close.GetVeto());
                PressEscape(dialog);
            }
        });
        EXPECT_FALSE(dialog.Calculate());
        EXPECT_TRUE(tried);
        EXPECT_TRUE(dialog.WasStopped());
        EXPECT_TRUE(dialog.IsModal());
        EXPECT_EQ(Bar(dialog).GetValue(), 0);
        EXPECT_EQ(dialog.RemainingText().utf8_string(),
                  "Расчёт остановлен; сцена сохранила прежний эффект");
        EXPECT_FALSE(SaveEnabled(dialog)); // nothing was calculated in this showing
        PressEscape(dialog);
    });
    ExpectEffectKept();
    EXPECT_TRUE(Doc().IsModified());
}

TEST_F(CalcDialogClosingTest, CloseButtonStopsAHeavyCalculationQuicklyAndEstimatesTheRest) {
    // Enough rays that the calculation runs for a while; stopped once the estimate shows (the
    // label follows each batch of positions, so it is looked at from the position after it).
    Scene().params.rayCount = 2000000;
    ShowAndThen([&](CEffectCalcDlg& dialog) {
        wxString estimate;
        dialog.SetProgressObserver([&](int position) {
            if (position > kMinEstimatePosition && estimate.empty() &&
                !dialog.RemainingText().empty()) {
                estimate = dialog.RemainingText();
                PressButton(dialog, wxID_OK);
            }
        });
        EXPECT_FALSE(dialog.Calculate());
        EXPECT_TRUE(dialog.WasStopped());
        EXPECT_TRUE(estimate.StartsWith(wxString::FromUTF8("Осталось примерно ")))
            << estimate.utf8_string();
        std::cout << "stop request to end of calculation: " << dialog.StopLatencySeconds()
                  << " s\n";
        // "Закрыть" stopped the calculation and then closes the dialog, as its label says.
        wxTheApp->ProcessPendingEvents();
        EXPECT_FALSE(dialog.IsModal());
    });
    ExpectEffectKept();
}

TEST_F(CalcDialogClosingTest, TheSaveDialogIsOwnedByTheCalculationDialog) {
    ShowAndThen([this](CEffectCalcDlg& dialog) {
        dialogs.Then([&dialog](wxDialog& files) {
            EXPECT_NE(dynamic_cast<CEffectFileDialog*>(&files), nullptr);
            EXPECT_EQ(files.GetParent(), &dialog);
            return int(wxID_CANCEL);
        });
        PressButton(dialog, IDC_CALCULATE);
        PressButton(dialog, IDC_SAVE_EFFECT);
        EXPECT_TRUE(dialog.IsModal());
        PressButton(dialog, wxID_OK);
    });
}

} // namespace sonivera
