#pragma once

#include "core/map/MapFigure.h"

#include <wx/dialog.h>

class wxChoice;
class wxSpinCtrlDouble;

namespace sonivera {

// "Расчёт карты": the map's steps along x and y in metres (0.1 to 1000, starting at the scene's
// grid steps) and the figure to show first.
class CMapDlg : public wxDialog {
public:
    CMapDlg(wxWindow* parent, double stepX, double stepY, MapFigure figure);
    double StepX() const;
    double StepY() const;
    MapFigure Figure() const;
    void SetSteps(double stepX, double stepY);

private:
    wxSpinCtrlDouble* m_pStepX = nullptr;
    wxSpinCtrlDouble* m_pStepY = nullptr;
    wxChoice* m_pFigure = nullptr;
};

} // namespace sonivera
