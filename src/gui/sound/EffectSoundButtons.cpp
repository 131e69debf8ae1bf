#include "gui/sound/EffectSoundButtons.h"

#include "audio/ImpulseResponse.h"
#include "gui/common/Strings.h"
#include "gui/effect/EffectPane.h"
#include "gui/sound/ExportWav.h"
#include "gui/sound/ListenDialog.h"

#include <wx/button.h>
#include <wx/sizer.h>

namespace sonivera {

namespace {

EffectResponseSource ResponseOf(const CEffectPane& pane) {
    return {pane.Bins(), pane.GroupTime(), pane.Response(), pane.ResponseRate()};
}

} // namespace

EffectSoundButtons AddEffectSoundButtons(CEffectPane& pane) {
    EffectSoundButtons buttons;
    buttons.exportWav = new wxButton(pane.ButtonParent(), wxID_ANY, Ui(text::kExportWavButton));
    buttons.listen = new wxButton(pane.ButtonParent(), wxID_ANY, Ui(text::kListenButton));
    for (wxButton* button : {buttons.exportWav, buttons.listen}) {
        pane.ButtonRow()->Add(button, 0, wxALIGN_CENTER_VERTICAL | wxLEFT, pane.FromDIP(4));
        button->Bind(wxEVT_UPDATE_UI,
                     [&pane](wxUpdateUIEvent& event) { event.Enable(pane.HasSound()); });
    }
    // The pane's copy of the bins is read when the button is pressed; the listening window and
    // the export take their own copies, so a New or Open meanwhile changes nothing for them.
    buttons.exportWav->Bind(wxEVT_BUTTON, [&pane](wxCommandEvent&) {
        if (pane.HasSound()) {
            ExportImpulseResponse(&pane, ResponseOf(pane));
        }
    });
    buttons.listen->Bind(wxEVT_BUTTON, [&pane](wxCommandEvent&) {
        if (pane.HasSound()) {
            CListenDialog::Start(wxGetTopLevelParent(&pane), ResponseOf(pane));
        }
    });
    pane.Layout();
    return buttons;
}

} // namespace sonivera
