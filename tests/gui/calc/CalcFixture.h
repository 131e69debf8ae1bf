#pragma once

#include "ObjectBuilder.h"
#include "support/SceneBytes.h"
#include "view/ViewFixture.h"

#include "core/model/RectObject.h"
#include "core/model/SoundSource.h"
#include "core/tracer/EffectFile.h"
#include "gui/calc/EffectCalcDlg.h"
#include "gui/calc/SaveEffect.h"
#include "gui/common/CommandIds.h"

#include <wx/button.h>
#include <wx/gauge.h>
#include <wx/msgdlg.h>
#include <wx/statbmp.h>

#include <functional>
#include <span>

namespace sonivera {

// Tests of the scene check and the calculation dialog, run in the editor. Scenes are built in the
// document's record or drawn through the view; dialogs are answered through the DialogScript.
class CalcTest : public ViewTest {
protected:
    // Objects of the document's record, every value named (support/ObjectBuilder.h).
    static CRectObject* AddRect(const Rect& wanted) { return sonivera::AddRect(Scene(), wanted); }
    static CSoundSource* AddSource(const Source& wanted) {
        return sonivera::AddSource(Scene(), wanted);
    }

    // Expects a message box with exactly this text and caption, with the exclamation icon or
    // without any icon; answers OK.
    void ExpectBox(const std::string& text, const std::string& caption, bool exclamation) {
        dialogs.Then([=](wxDialog& dialog) {
            auto* box = dynamic_cast<wxMessageDialogBase*>(&dialog);
            EXPECT_NE(box, nullptr)
                << "expected a message box, got " << dialog.GetTitle().utf8_string();
            if (box) {
                EXPECT_EQ(box->GetMessage().utf8_string(), text);
                EXPECT_EQ(box->GetTitle().utf8_string(), caption);
                const long icons = wxICON_EXCLAMATION | wxICON_ERROR | wxICON_INFORMATION |
                                   wxICON_QUESTION | wxICON_AUTH_NEEDED;
                const long style = box->GetMessageDialogStyle();
                EXPECT_EQ(style & icons, exclamation ? wxICON_EXCLAMATION : 0L);
                EXPECT_EQ(style & (wxYES_NO | wxCANCEL | wxOK), wxOK);
            }
            return int(wxID_OK);
        });
    }
    void ExpectError(const std::string& text) { ExpectBox(text, "Ошибка", true); }

    // Lets the next message box show for real and reports whether it displays an icon; the box
    // is then closed with OK.
    void ShowBoxAndLookForIcon(bool& hasIcon) {
        dialogs.Then([&hasIcon](wxDialog& dialog) {
            dialog.CallAfter([&dialog, &hasIcon] {
                hasIcon = false;
                for (wxWindow* child : dialog.GetChildren()) {
                    hasIcon = hasIcon || dynamic_cast<wxStaticBitmap*>(child) != nullptr;
                }
                dialog.EndModal(wxID_OK);
            });
            return int(wxID_NONE);
        });
        // The generic box asks the hook a second time, as a plain dialog.
        dialogs.Then([](wxDialog&) { return int(wxID_NONE); });
    }

    // Expects the calculation dialog (answered without showing it): runs `body` on it, then
    // closes it with "Закрыть".
    void ExpectCalcDialog(std::function<void(CEffectCalcDlg&)> body) {
        dialogs.Then([body = std::move(body)](wxDialog& dialog) {
            auto* calc = dynamic_cast<CEffectCalcDlg*>(&dialog);
            EXPECT_NE(calc, nullptr)
                << "expected the calculation dialog, got " << dialog.GetTitle().utf8_string();
            if (calc) {
                body(*calc);
            }
            return int(wxID_OK);
        });
    }
    // Expects the effect file dialog; picks `path`, or cancels when it is empty.
    void ExpectEffectFile(const std::string& path) {
        dialogs.Then([path](wxDialog& dialog) {
            auto* files = dynamic_cast<CEffectFileDialog*>(&dialog);
            EXPECT_NE(files, nullptr) << "expected the effect file dialog";
            if (!files || path.empty()) {
                return int(wxID_CANCEL);
            }
            files->SetChosenPath(wxString::FromUTF8(path));
            return int(wxID_OK);
        });
    }

    // Clicks a button of the dialog as the user does; a disabled button takes no click.
    static void PressButton(wxDialog& dialog, int id) {
        auto* button = wxDynamicCast(dialog.FindWindow(id), wxButton);
        ASSERT_NE(button, nullptr) << "no button " << id;
        ASSERT_TRUE(button->IsEnabled()) << "button " << id << " is disabled";
        wxCommandEvent click(wxEVT_BUTTON, id);
        click.SetEventObject(button);
        button->ProcessWindowEvent(click);
    }
    static bool SaveEnabled(wxDialog& dialog) {
        return dialog.FindWindow(IDC_SAVE_EFFECT)->IsEnabled();
    }
    static wxGauge& Bar(wxDialog& dialog) {
        return *wxDynamicCast(dialog.FindWindow(IDC_PROGRESS), wxGauge);
    }

    // The bytes an effect file holds for the scene's current effect.
    static Bytes CurrentEffectBytes() {
        const SceneSettings& scene = Scene();
        return EffectToBytes(std::span<const double>(scene.effect.get(),
                                                     static_cast<std::size_t>(scene.effectCount)),
                             scene.params.stopTime);
    }
};

} // namespace sonivera
