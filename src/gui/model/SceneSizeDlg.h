#pragma once

#include "gui/model/ExchangeDialog.h"
#include "gui/model/SceneEdits.h"

class wxTextCtrl;
class wxCheckBox;

namespace sonivera {

// Dialog 169, "Установка размеров сцены и сетки": the scene's width and height (5 to 1000 m) and
// the grid steps (1 to 100 m) as whole metres, and grid snapping. Exchanges with the fields it is
// given; they are written only when OK is accepted.
class CSceneSizeDlg : public CExchangeDialog {
public:
    static constexpr int kMinSize = 5;
    static constexpr int kMaxSize = 1000;
    // The grid steps' labels say 1 to 10 m; the dialog has always accepted up to 100 m, and
    // scenes with coarser grids must stay editable, so the wider range is kept.
    static constexpr int kMinGrid = 1;
    static constexpr int kMaxGrid = 100;

    CSceneSizeDlg(wxWindow* parent, SceneSizeFields& fields);

private:
    SceneSizeFields& m_fields;
};

} // namespace sonivera
