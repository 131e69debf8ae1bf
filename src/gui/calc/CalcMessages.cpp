#include "calc/CalcMessages.h"

#include "app/Strings.h"

#include <wx/app.h>
#include <wx/msgdlg.h>
// After msgdlg.h, which declares its base.
#include <wx/generic/msgdlgg.h>

namespace {

wxWindow* OwnerOf(wxWindow* owner) {
    if (owner && owner->IsShown()) {
        return owner;
    }
    wxWindow* top = wxTheApp ? wxTheApp->GetTopWindow() : nullptr;
    return top && top->IsShown() ? top : nullptr;
}

void Run(wxWindow* owner, const wxString& message, const wxString& caption, long style) {
    wxGenericMessageDialog box(OwnerOf(owner), message, caption, style | wxCENTRE);
    box.ShowModal();
}

} // namespace

void ShowErrorBox(wxWindow* owner, const wxString& message) {
    Run(owner, message, Ui(text::kErrorCaption), wxOK | wxICON_EXCLAMATION);
}

void ShowNoticeBox(wxWindow* owner, const wxString& message) {
    Run(owner, message, Ui(text::kAppTitle), wxOK | wxICON_NONE);
}
