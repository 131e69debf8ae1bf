#include "gui/app/AboutDlg.h"

#include "core/version/ProgramVersion.h"

#include "gui/common/CommandIds.h"
#include "gui/common/Strings.h"

#include <wx/button.h>
#include <wx/sizer.h>
#include <wx/stattext.h>

namespace sonivera {

CAboutDlg::CAboutDlg(wxWindow* parent)
    : wxDialog(parent, IDD_ABOUTBOX, Ui(text::kAboutTitle), wxDefaultPosition, wxDefaultSize,
               wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX) {
    auto* top = new wxBoxSizer(wxVERTICAL);
    top->AddSpacer(FromDIP(12));
    const wxString program = wxString::Format(Ui(text::kAboutProgram), kProgramVersion);
    for (const wxString& line :
         {Ui(text::kAboutWork), program, Ui(text::kAboutAuthor), Ui(text::kAboutYear)}) {
        top->Add(new wxStaticText(this, wxID_ANY, line, wxDefaultPosition, wxDefaultSize,
                                  wxALIGN_CENTRE_HORIZONTAL),
                 0, wxALIGN_CENTER | wxLEFT | wxRIGHT | wxTOP, FromDIP(6));
    }
    auto* ok = new wxButton(this, wxID_OK, Ui(text::kOk));
    ok->SetDefault();
    SetEscapeId(wxID_OK);
    top->Add(ok, 0, wxALIGN_CENTER | wxALL, FromDIP(14));
    SetSizerAndFit(top);
    CentreOnParent();
}

} // namespace sonivera
