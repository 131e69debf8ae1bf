#pragma once

#include <wx/dialog.h>

#include <vector>

namespace sonivera {

// A modal dialog whose fields exchange data with variables through validators in a fixed exchange
// order, independent of the order the controls stand in on the dialog (which decides the tab
// order). OK validates the fields in exchange order and stops at the first refused one, so it is
// the one reported and focused; only when all are valid are the values stored.
//
// Derived dialogs create their controls, attach validators (CNumericValidator for numbers,
// wxGenericValidator for check boxes), call AddExchange for each in exchange order, then
// LoadFields() at the end of their constructor.
class CExchangeDialog : public wxDialog {
public:
    CExchangeDialog(wxWindow* parent, int dialogId, const wxString& title);

    bool Validate() override;
    bool TransferDataToWindow() override;
    bool TransferDataFromWindow() override;
    // Centres the dialog over its owner again just before it shows: the owner may have moved or
    // changed size since the dialog was built, and a first dialog's placement at construction
    // may be lost before the window system maps it.
    int ShowModal() override;

protected:
    void AddExchange(wxWindow* control);
    // Shows the variables' values in the fields (also done again when the dialog is shown).
    void LoadFields() { TransferDataToWindow(); }
    // The width of a numeric field: 40 dialog units, or more when a default value would not fit.
    int EditWidth() const;
    // Lays out the dialog: a group box with the given content, then OK and Отмена centred below.
    void LayOut(wxSizer* groupContent, wxWindow* groupOwner);
    // Lays out the dialog without a group box: the content, then OK and Отмена centred below.
    void LayOutPlain(wxSizer* content);

private:
    std::vector<wxWindow*> m_exchange;
};

} // namespace sonivera
