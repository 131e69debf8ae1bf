#pragma once

#include "core/map/MapFigure.h"

#include <wx/dialog.h>

#include <optional>
#include <string>

class wxChoice;
class wxTextCtrl;

namespace sonivera {

// "Расчёт карты": the map's steps along x and y in metres (0.1 to 1000, starting at the scene's
// grid steps; a comma or a point before the decimals) and the figure to show first. OK refuses a
// step that is not such a number with a message, and the dialog stays open.
class CMapDlg : public wxDialog {
public:
    CMapDlg(wxWindow* parent, double stepX, double stepY, MapFigure figure);
    double StepX() const;
    double StepY() const;
    MapFigure Figure() const;
    void SetSteps(double stepX, double stepY);
    // A step field's value, or nothing when the text is no number of metres from 0.1 to 1000.
    static std::optional<double> ParseStep(std::string text);

private:
    void OnOk(wxCommandEvent& event);

    wxTextCtrl* m_pStepX = nullptr;
    wxTextCtrl* m_pStepY = nullptr;
    wxChoice* m_pFigure = nullptr;
};

} // namespace sonivera
