#include "calc/CalcFixture.h"

#include "core/tracer/ComputeEffect.h"

#include <wx/thread.h>

#include <vector>

namespace sonivera {

namespace {

class EffectCalcDlgTest : public CalcTest {
protected:
    void SetUp() override {
        CalcTest::SetUp();
        AddRect({.x = 10, .y = 10, .width = 20, .height = 5, .reflection = 0.5, .absorption = 0.5});
        AddSource({.x = 70, .y = 60});
        AddSource({.x = 30, .y = 80, .power = 0.5});
    }
};

} // namespace

TEST_F(EffectCalcDlgTest, OpensOverTheMainWindowWithTheTemplateLayoutAndNothingToSave) {
    ExpectCalcDialog([](CEffectCalcDlg& dialog) {
        EXPECT_EQ(dialog.GetTitle().utf8_string(), "Рассчёт эффекта");
        EXPECT_EQ(dialog.GetId(), int(IDD_CALC_EFFECT));
        EXPECT_EQ(dialog.GetParent(), &Frame());
        EXPECT_TRUE(dialog.HasFlag(wxCAPTION));
        EXPECT_FALSE(dialog.HasFlag(wxSYSTEM_MENU));
        EXPECT_FALSE(dialog.HasFlag(wxCLOSE_BOX));
        const wxPoint centre = dialog.GetScreenRect().GetPosition() + dialog.GetSize() / 2;
        const wxRect frame = Frame().GetScreenRect();
        const wxPoint frameCentre = frame.GetPosition() + frame.GetSize() / 2;
        EXPECT_LE(std::abs(centre.x - frameCentre.x), 1);
        EXPECT_LE(std::abs(centre.y - frameCentre.y), 1);

        const std::vector<std::pair<int, std::string>> buttons = {
            {IDC_CALCULATE, "Рассчитать эффект"},
            {IDC_SAVE_EFFECT, "Сохранить..."},
            {wxID_OK, "Закрыть"}};
        for (const auto& [id, label] : buttons) {
            auto* button = wxDynamicCast(dialog.FindWindow(id), wxButton);
            ASSERT_NE(button, nullptr) << id;
            EXPECT_EQ(button->GetLabel().utf8_string(), label);
        }
        EXPECT_EQ(dialog.GetDefaultItem(), dialog.FindWindow(wxID_OK));
        EXPECT_TRUE(dialog.FindWindow(IDC_CALCULATE)->IsEnabled());
        EXPECT_FALSE(SaveEnabled(dialog));
        EXPECT_EQ(Bar(dialog).GetRange(), 100);
        EXPECT_EQ(Bar(dialog).GetValue(), 0);
        // The buttons stand in one row above the bar, "Закрыть" below it.
        const wxRect calculate = dialog.FindWindow(IDC_CALCULATE)->GetScreenRect();
        const wxRect save = dialog.FindWindow(IDC_SAVE_EFFECT)->GetScreenRect();
        const wxRect bar = Bar(dialog).GetScreenRect();
        const wxRect close = dialog.FindWindow(wxID_OK)->GetScreenRect();
        EXPECT_LT(calculate.GetRight(), save.GetLeft());
        EXPECT_LT(save.GetBottom(), bar.GetTop());
        EXPECT_LT(bar.GetBottom(), close.GetTop());
    });
    Command(ID_CALC_EFFECT);
}

TEST_F(EffectCalcDlgTest, EveryOpeningStartsWithSaveDisabledAlthoughTheEffectIsKept) {
    ExpectCalcDialog([](CEffectCalcDlg& dialog) {
        PressButton(dialog, IDC_CALCULATE);
        EXPECT_TRUE(SaveEnabled(dialog));
        EXPECT_EQ(Bar(dialog).GetValue(), 0);
        EXPECT_EQ(Bar(dialog).GetRange(), 100);
    });
    Command(ID_CALC_EFFECT);
    dialogs.Verify();
    ASSERT_NE(Scene().effect, nullptr);
    const Bytes first = CurrentEffectBytes();
    EXPECT_EQ(Scene().effectCount, 100);

    ExpectCalcDialog([](CEffectCalcDlg& dialog) {
        EXPECT_FALSE(SaveEnabled(dialog));
        EXPECT_EQ(Bar(dialog).GetValue(), 0);
        EXPECT_TRUE(dialog.FindWindow(IDC_CALCULATE)->IsEnabled());
    });
    Command(ID_CALC_EFFECT);
    dialogs.Verify();
    EXPECT_EQ(CurrentEffectBytes(), first);
    EXPECT_FALSE(Doc().IsModified());
}

TEST_F(EffectCalcDlgTest, SecondCalculationReplacesTheFirstAndSaveWritesIt) {
    const std::string path = dir.File("second.e3d");
    ExpectCalcDialog([&](CEffectCalcDlg& dialog) {
        PressButton(dialog, IDC_CALCULATE);
        EXPECT_EQ(Scene().effectCount, 100);
        // Another scene behind the same record: fewer bins, other amplitudes.
        Scene().params.stopTime = 500;
        Scene().params.groupTime = 20;
        Scene().objects.back()->m_x = 40;
        PressButton(dialog, IDC_CALCULATE);
        EXPECT_EQ(Scene().effectCount, 25);
        PressButton(dialog, IDC_SAVE_EFFECT);
        EXPECT_TRUE(SaveEnabled(dialog));
    });
    ExpectEffectFile(path);
    Command(ID_CALC_EFFECT);
    dialogs.Verify();

    const Bytes written = ReadBytes(path);
    EXPECT_EQ(written.size(), kEffectHeaderSize + 8u * 25u);
    EXPECT_EQ(written, CurrentEffectBytes());
    // The same scene computed afresh on one thread gives the same file.
    auto copy = LoadSceneFromBytes(SaveSceneToBytes(Scene()));
    ComputeEffect(*copy, nullptr, EffectOptions{1});
    EXPECT_EQ(written, SaveEffectToBytes(*copy));
    EXPECT_FALSE(Doc().IsModified());
}

TEST_F(EffectCalcDlgTest, BarShowsEveryRayPositionInOrderOnTheGuiThreadThenZero) {
    for (const int rays : {100, 1000}) {
        SCOPED_TRACE(rays);
        Scene().params.rayCount = rays;
        std::vector<int> shown;
        bool offThread = false;
        ExpectCalcDialog([&](CEffectCalcDlg& dialog) {
            dialog.SetProgressObserver([&](int value) {
                shown.push_back(value);
                offThread = offThread || !wxThread::IsMain();
            });
            PressButton(dialog, IDC_CALCULATE);
            EXPECT_EQ(Bar(dialog).GetValue(), 0);
        });
        Command(ID_CALC_EFFECT);
        dialogs.Verify();
        ASSERT_EQ(shown.size(), static_cast<std::size_t>(rays));
        for (int i = 0; i < rays; ++i) {
            ASSERT_EQ(shown[static_cast<std::size_t>(i)], (100 * i) / rays) << "ray " << i;
        }
        EXPECT_EQ(shown.back(), 99);
        EXPECT_FALSE(offThread);
    }
}

TEST_F(EffectCalcDlgTest, PathsThatWouldExceedTheMemoryBudgetAreLeftOutAndTheUserIsTold) {
    ExpectCalcDialog([](CEffectCalcDlg& dialog) {
        dialog.SetMemoryBudget(1024); // far below what even one path per source takes
        PressButton(dialog, IDC_CALCULATE);
        EXPECT_TRUE(SaveEnabled(dialog));
        EXPECT_EQ(Scene().effectCount, 100);
    });
    dialogs.Then([](wxDialog& dialog) {
        auto* box = dynamic_cast<wxMessageDialogBase*>(&dialog);
        EXPECT_NE(box, nullptr);
        if (box) {
            EXPECT_NE(box->GetMessage().utf8_string().find("без путей эхо"), std::string::npos)
                << box->GetMessage().utf8_string();
        }
        return int(wxID_OK);
    });
    Command(ID_CALC_EFFECT);
}

TEST_F(EffectCalcDlgTest, RefusedParametersAreReportedAndTheDialogStaysUsable) {
    Scene().params.groupTime = 0; // only a damaged record can hold this; the dialogs refuse it
    ExpectCalcDialog([](CEffectCalcDlg& dialog) {
        PressButton(dialog, IDC_CALCULATE);
        EXPECT_EQ(Scene().effect, nullptr);
        EXPECT_FALSE(SaveEnabled(dialog));
        EXPECT_EQ(Bar(dialog).GetValue(), 0);
        Scene().params.groupTime = 10;
        PressButton(dialog, IDC_CALCULATE);
        EXPECT_TRUE(SaveEnabled(dialog));
        EXPECT_EQ(Scene().effectCount, 100);
    });
    dialogs.Then([](wxDialog& dialog) {
        auto* box = dynamic_cast<wxMessageDialogBase*>(&dialog);
        EXPECT_NE(box, nullptr);
        if (box) {
            EXPECT_EQ(box->GetTitle().utf8_string(), "Ошибка");
            EXPECT_TRUE(box->GetMessageDialogStyle() & wxICON_EXCLAMATION);
            EXPECT_NE(box->GetMessage().utf8_string().find("grouping"), std::string::npos)
                << box->GetMessage().utf8_string();
        }
        return int(wxID_OK);
    });
    // The box comes from within the calculation dialog's step, after the first press.
    Command(ID_CALC_EFFECT);
}

} // namespace sonivera
