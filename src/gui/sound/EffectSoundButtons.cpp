#include "sound/EffectSoundButtons.h"

#include "common/Strings.h"
#include "effect/EffectPane.h"
#include "sound/ExportWav.h"
#include "sound/ListenDialog.h"

#include <wx/button.h>
#include <wx/sizer.h>

EffectSoundButtons AddEffectSoundButtons(CEffectPane& pane) {
    EffectSoundButtons buttons;
    buttons.exportWav = new wxButton(pane.ButtonParent(), wxID_ANY, Ui(text::kExportWavButton));
    buttons.listen = new wxButton(pane.ButtonParent(), wxID_ANY, Ui(text::kListenButton));
    for (wxButton* button : {buttons.exportWav, buttons.listen}) {
        pane.ButtonRow()->Add(button, 0, wxALIGN_CENTER_VERTICAL | wxLEFT, pane.FromDIP(4));
        button->Bind(wxEVT_UPDATE_UI,
                     [&pane](wxUpdateUIEvent& event) { event.Enable(pane.HasEffect()); });
    }
    // The pane's copy of the bins is read when the button is pressed; the listening window and
    // the export take their own copies, so a New or Open meanwhile changes nothing for them.
    buttons.exportWav->Bind(wxEVT_BUTTON, [&pane](wxCommandEvent&) {
        if (pane.HasEffect()) {
            ExportImpulseResponse(&pane, pane.Bins(), pane.GroupTime());
        }
    });
    buttons.listen->Bind(wxEVT_BUTTON, [&pane](wxCommandEvent&) {
        if (pane.HasEffect()) {
            CListenDialog::Start(wxGetTopLevelParent(&pane), pane.Bins(), pane.GroupTime());
        }
    });
    pane.Layout();
    return buttons;
}
