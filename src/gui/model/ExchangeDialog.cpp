#include "gui/model/ExchangeDialog.h"

#include "gui/app/Strings.h"

#include <algorithm>

#include <wx/button.h>
#include <wx/dcclient.h>
#include <wx/sizer.h>
#include <wx/statbox.h>

namespace sonivera {

CExchangeDialog::CExchangeDialog(wxWindow* parent, int dialogId, const wxString& title)
    : wxDialog(parent, dialogId, title, wxDefaultPosition, wxDefaultSize,
               wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX) {}

void CExchangeDialog::AddExchange(wxWindow* control) {
    m_exchange.push_back(control);
}

int CExchangeDialog::ShowModal() {
    CentreOnParent();
    // Once more when the window system has mapped it, which may have placed it by itself.
    CallAfter([this] { CentreOnParent(); });
    return wxDialog::ShowModal();
}

bool CExchangeDialog::Validate() {
    for (wxWindow* control : m_exchange) {
        wxValidator* validator = control->GetValidator();
        if (validator && !validator->Validate(this)) {
            return false;
        }
    }
    return true;
}

bool CExchangeDialog::TransferDataToWindow() {
    for (wxWindow* control : m_exchange) {
        wxValidator* validator = control->GetValidator();
        if (validator && !validator->TransferToWindow()) {
            return false;
        }
    }
    return true;
}

bool CExchangeDialog::TransferDataFromWindow() {
    for (wxWindow* control : m_exchange) {
        wxValidator* validator = control->GetValidator();
        if (validator && !validator->TransferFromWindow()) {
            return false;
        }
    }
    return true;
}

int CExchangeDialog::EditWidth() const {
    const int templateWidth = ConvertDialogToPixels(wxSize(40, 14)).x;
    // The widest value the scene dialogs show by default, with room for the field's frame.
    return std::max(templateWidth, GetTextExtent("1.6e+308").x + FromDIP(24));
}

void CExchangeDialog::LayOut(wxSizer* groupContent, wxWindow* groupOwner) {
    auto* group = new wxStaticBoxSizer(wxDynamicCast(groupOwner, wxStaticBox), wxVERTICAL);
    group->Add(groupContent, 1, wxEXPAND | wxALL, FromDIP(8));
    LayOutPlain(group);
}

void CExchangeDialog::LayOutPlain(wxSizer* content) {
    auto* ok = new wxButton(this, wxID_OK, Ui(text::kOk));
    auto* cancel = new wxButton(this, wxID_CANCEL, Ui(text::kCancel));
    ok->SetDefault();
    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    buttons->Add(ok, 0, wxRIGHT, FromDIP(10));
    buttons->Add(cancel, 0);

    auto* top = new wxBoxSizer(wxVERTICAL);
    top->Add(content, 1, wxEXPAND | wxLEFT | wxRIGHT | wxTOP, FromDIP(8));
    top->Add(buttons, 0, wxALIGN_CENTER | wxALL, FromDIP(10));
    SetSizerAndFit(top);
    // Wide enough for the whole title in the caption, whose font is usually bold and which also
    // holds the icon and the caption's buttons.
    const int titleWidth = GetTextExtent(GetTitle()).x * 6 / 5 + FromDIP(110);
    if (GetSize().x < titleWidth) {
        SetSize(titleWidth, -1);
    }
    CentreOnParent();
}

} // namespace sonivera
