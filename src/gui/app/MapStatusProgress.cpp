#include "gui/app/MapStatusProgress.h"

#include "gui/common/CommandIds.h"
#include "gui/common/Strings.h"

#include <wx/button.h>
#include <wx/gauge.h>
#include <wx/panel.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/statusbr.h>

namespace sonivera {

CMapStatusProgress::CMapStatusProgress(wxStatusBar& bar) : m_bar(bar) {
    m_pPanel = new wxPanel(&bar);
    m_pLabel = new wxStaticText(m_pPanel, wxID_ANY, wxString());
    m_pGauge =
        new wxGauge(m_pPanel, wxID_ANY, 100, wxDefaultPosition, wxSize(m_pPanel->FromDIP(120), -1));
    m_pStop = new wxButton(m_pPanel, wxID_ANY, Ui(text::kMapStopButton), wxDefaultPosition,
                           wxDefaultSize, wxBU_EXACTFIT);
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    row->Add(m_pLabel, 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, m_pPanel->FromDIP(6));
    row->Add(m_pGauge, 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, m_pPanel->FromDIP(6));
    row->Add(m_pStop, 0, wxALIGN_CENTER_VERTICAL);
    m_pPanel->SetSizer(row);
    m_pPanel->Hide();
    m_pStop->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) {
        wxCommandEvent stop(wxEVT_MENU, ID_MAP_STOP);
        if (wxWindow* frame = m_bar.GetParent()) {
            frame->GetEventHandler()->ProcessEvent(stop);
        }
    });
    bar.Bind(wxEVT_SIZE, [this](wxSizeEvent& event) {
        Place();
        event.Skip();
    });
}

void CMapStatusProgress::Place() {
    if (!m_pPanel->IsShown()) {
        return;
    }
    wxRect field;
    if (!m_bar.GetFieldRect(0, field)) {
        return;
    }
    m_pPanel->Layout();
    const wxSize size = m_pPanel->GetBestSize();
    const int height = std::min(size.y, field.height);
    m_pPanel->SetSize(field.GetRight() - size.x, field.y + (field.height - height) / 2, size.x,
                      height);
}

void CMapStatusProgress::Show(int percent, const wxString& label) {
    m_pLabel->SetLabel(label);
    m_pGauge->SetValue(std::max(0, std::min(100, percent)));
    if (!m_pPanel->IsShown()) {
        m_pPanel->Show();
    }
    Place();
}

void CMapStatusProgress::Hide() {
    m_pPanel->Hide();
}

bool CMapStatusProgress::IsShown() const {
    return m_pPanel->IsShown();
}

} // namespace sonivera
