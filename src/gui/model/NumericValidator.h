#pragma once

#include <wx/validate.h>

namespace sonivera {

// Numeric exchange for a wxTextCtrl: shows an int or double variable in the field and, on OK,
// parses the entry and checks it against an inclusive range. A refused entry is reported in a
// message box with the exclamation icon ("Please enter an integer." / "Please enter a number." /
// "Please enter an integer between %1 and %2." / "Please enter a number between %1 and %2."),
// the focus goes back to the field with its text selected, and nothing is stored.
//
// Attach one to each numeric field and list the fields in a CExchangeDialog in their exchange
// order, which decides which wrong field is reported first:
//
//     m_width = new wxTextCtrl(box, IDC_SCENE_WIDTH);
//     m_width->SetValidator(CNumericValidator(&m_fields.width, 5, 1000));
//     AddExchange(m_width);
class CNumericValidator : public wxValidator {
public:
    CNumericValidator(int* value, int min, int max);
    CNumericValidator(double* value, double min, double max);
    CNumericValidator(const CNumericValidator& other);

    wxObject* Clone() const override { return new CNumericValidator(*this); }
    bool Validate(wxWindow* parent) override;
    bool TransferToWindow() override;
    bool TransferFromWindow() override;

    // The message that refuses the field's current text, or an empty string when it is valid.
    wxString CheckText() const;

private:
    wxString FieldText() const;

    int* m_pInt = nullptr;
    double* m_pDouble = nullptr;
    int m_nMin = 0;
    int m_nMax = 0;
    double m_dMin = 0.0;
    double m_dMax = 0.0;
};

} // namespace sonivera
