#pragma once

class wxButton;
class wxGauge;
class wxPanel;
class wxStaticText;
class wxStatusBar;
class wxString;

namespace sonivera {

// The map's progress in the status bar: a label ("Карта: 45 %, осталось 12 с"), a bar and a
// "Стоп" button at the right end of the message pane, shown while a map is computed. The button
// sends the map's stop command (ID_MAP_STOP) to the frame.
class CMapStatusProgress {
public:
    explicit CMapStatusProgress(wxStatusBar& bar);
    void Show(int percent, const wxString& label);
    void Hide();
    bool IsShown() const;

private:
    void Place();

    wxStatusBar& m_bar;
    wxPanel* m_pPanel = nullptr;
    wxStaticText* m_pLabel = nullptr;
    wxGauge* m_pGauge = nullptr;
    wxButton* m_pStop = nullptr;
};

} // namespace sonivera
