#include "gui/model/NumericValidator.h"

#include "gui/app/MessageBoxes.h"
#include "gui/app/Strings.h"
#include "gui/model/NumericText.h"

#include <wx/textctrl.h>

namespace sonivera {

CNumericValidator::CNumericValidator(int* value, int min, int max)
    : m_pInt(value), m_nMin(min), m_nMax(max) {}

CNumericValidator::CNumericValidator(double* value, double min, double max)
    : m_pDouble(value), m_dMin(min), m_dMax(max) {}

CNumericValidator::CNumericValidator(const CNumericValidator& other)
    : wxValidator(), m_pInt(other.m_pInt), m_pDouble(other.m_pDouble), m_nMin(other.m_nMin),
      m_nMax(other.m_nMax), m_dMin(other.m_dMin), m_dMax(other.m_dMax) {
    Copy(other);
}

wxString CNumericValidator::FieldText() const {
    const auto* field = wxDynamicCast(GetWindow(), wxTextCtrl);
    return field ? field->GetValue() : wxString();
}

wxString CNumericValidator::CheckText() const {
    const std::string entry = FieldText().utf8_string();
    if (m_pInt) {
        return Ui(CheckIntField(entry, m_nMin, m_nMax).message);
    }
    return Ui(CheckDoubleField(entry, m_dMin, m_dMax).message);
}

bool CNumericValidator::Validate(wxWindow* parent) {
    const wxString message = CheckText();
    if (message.empty()) {
        return true;
    }
    ShowExclamation(parent, message);
    if (auto* field = wxDynamicCast(GetWindow(), wxTextCtrl)) {
        field->SetFocus();
        field->SelectAll();
    }
    return false;
}

bool CNumericValidator::TransferToWindow() {
    auto* field = wxDynamicCast(GetWindow(), wxTextCtrl);
    if (!field) {
        return false;
    }
    field->ChangeValue(Ui(m_pInt ? FormatIntField(*m_pInt) : FormatDoubleField(*m_pDouble)));
    return true;
}

bool CNumericValidator::TransferFromWindow() {
    const std::string entry = FieldText().utf8_string();
    if (m_pInt) {
        const auto check = CheckIntField(entry, m_nMin, m_nMax);
        if (check.value) {
            *m_pInt = *check.value;
        }
        return check.value.has_value();
    }
    const auto check = CheckDoubleField(entry, m_dMin, m_dMax);
    if (check.value) {
        *m_pDouble = *check.value;
    }
    return check.value.has_value();
}

} // namespace sonivera
