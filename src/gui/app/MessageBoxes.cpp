#include "app/MessageBoxes.h"

#include "app/Strings.h"

#include <wx/app.h>
#include <wx/msgdlg.h>
// After msgdlg.h, which declares its base.
#include <wx/generic/msgdlgg.h>

namespace {

// The window a box is shown over: the given parent while it is on screen, else the main window
// while it is on screen, else none (a box must not bring up a window that is not yet shown, such
// as the main window while the command line's file is being opened).
wxWindow* OwnerOf(wxWindow* parent) {
    if (parent && parent->IsShown()) {
        return parent;
    }
    wxWindow* top = wxTheApp ? wxTheApp->GetTopWindow() : nullptr;
    return top && top->IsShown() ? top : nullptr;
}

int Run(wxWindow* parent, const wxString& message, long style,
        const wxString& caption = Ui(text::kAppTitle)) {
    // The toolkit's own box: the native one of this platform shows no icon.
    // The generic box draws an icon for any icon flag, wxICON_NONE included (as an error icon):
    // a box without an icon must carry no icon flag at all.
    if (style & wxICON_NONE) {
        style &= ~wxICON_NONE;
    }
    wxGenericMessageDialog box(OwnerOf(parent), message, caption, style | wxCENTRE);
    return box.ShowModal();
}

} // namespace

void ShowExclamation(wxWindow* parent, const wxString& message) {
    Run(parent, message, wxOK | wxICON_EXCLAMATION);
}

void ShowError(wxWindow* parent, const wxString& message) {
    Run(parent, message, wxOK | wxICON_EXCLAMATION, Ui(text::kErrorCaption));
}

void ShowPlainMessage(wxWindow* parent, const wxString& message) {
    Run(parent, message, wxOK | wxICON_NONE);
}

bool AskWarningYesNo(wxWindow* parent, const wxString& message, const wxString& caption) {
    return Run(parent, message, wxYES_NO | wxYES_DEFAULT | wxICON_EXCLAMATION, caption) == wxID_YES;
}

int AskSaveChanges(wxWindow* parent, const wxString& documentName) {
    const wxString question = wxString::Format(Ui(text::kSaveChanges), documentName);
    switch (Run(parent, question, wxYES_NO | wxCANCEL | wxICON_QUESTION)) {
    case wxID_YES:
        return wxYES;
    case wxID_NO:
        return wxNO;
    default:
        return wxCANCEL;
    }
}

bool AskReplaceFile(wxWindow* parent, const wxString& path) {
    const wxString question = wxString::Format(Ui(text::kReplaceExisting), path);
    return Run(parent, question, wxYES_NO | wxNO_DEFAULT | wxICON_EXCLAMATION) == wxID_YES;
}
