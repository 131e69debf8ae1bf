#include "gui/common/MessageBoxes.h"

#include "gui/common/Strings.h"

#include <wx/app.h>
#include <wx/msgdlg.h>
#include <wx/sizer.h>
// After msgdlg.h, which declares its base.
#include <wx/generic/msgdlgg.h>

namespace sonivera {

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

// A question of the program's own answered with Yes or No: the buttons carry their mnemonics and
// the plain keys Y and N answer as well, as the underlined letters promise.
class CYesNoBox : public wxGenericMessageDialog {
public:
    CYesNoBox(wxWindow* parent, const wxString& message, const wxString& caption, long style)
        : wxGenericMessageDialog(parent, message, caption, style | wxCENTRE) {
        SetYesNoLabels(Ui(text::kYesButton), Ui(text::kNoButton));
        Bind(wxEVT_CHAR_HOOK, &CYesNoBox::OnCharHook, this);
    }

    int ShowModal() override {
        if (!m_bBuilt) {
            m_bBuilt = true;
            DoCreateMsgdialog();
            Arrange();
        }
        // The base class would build the box a second time.
        return wxDialog::ShowModal();
    }

protected:
    // After the buttons are made, before the box shows.
    virtual void Arrange() {}

    void OnCharHook(wxKeyEvent& event) {
        if (!event.HasAnyModifiers()) {
            switch (event.GetKeyCode()) {
            case 'Y':
                Answer(wxID_YES);
                return;
            case 'N':
                Answer(wxID_NO);
                return;
            default:
                break;
            }
        }
        event.Skip();
    }

    void Answer(int id) {
        SetReturnCode(id);
        if (IsModal()) {
            EndModal(id);
        }
    }

private:
    bool m_bBuilt = false;
};

// The "Save changes?" box: its buttons in the order Yes, No, Cancel whatever the desktop's
// convention (which puts the affirmative button last), each with its mnemonic; Y and N answer.
class CSaveChangesBox : public CYesNoBox {
public:
    CSaveChangesBox(wxWindow* parent, const wxString& message)
        : CYesNoBox(parent, message, Ui(text::kAppTitle), wxYES_NO | wxCANCEL | wxICON_QUESTION) {
        SetYesNoCancelLabels(Ui(text::kYesButton), Ui(text::kNoButton), Ui(text::kCancelButton));
    }

private:
    void Arrange() override {
        wxWindow* yes = FindWindow(wxID_YES);
        wxWindow* no = FindWindow(wxID_NO);
        wxWindow* cancel = FindWindow(wxID_CANCEL);
        wxSizer* row = yes ? yes->GetContainingSizer() : nullptr;
        if (!row || !no || !cancel || no->GetContainingSizer() != row ||
            cancel->GetContainingSizer() != row) {
            return;
        }
        row->Clear(false); // the buttons stay; the desktop's spacers go
        row->AddStretchSpacer();
        for (wxWindow* button : {yes, no, cancel}) {
            row->Add(button, 0, wxLEFT, FromDIP(6));
        }
        yes->SetFocus();
        Layout();
        Fit();
        Centre(wxBOTH);
        if (GetParent()) {
            CentreOnParent();
        }
    }
};

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
    CYesNoBox box(OwnerOf(parent), message, caption, wxYES_NO | wxYES_DEFAULT | wxICON_EXCLAMATION);
    return box.ShowModal() == wxID_YES;
}

int AskSaveChanges(wxWindow* parent, const wxString& documentName) {
    const wxString question = wxString::Format(Ui(text::kSaveChanges), documentName);
    CSaveChangesBox box(OwnerOf(parent), question);
    switch (box.ShowModal()) {
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

} // namespace sonivera
