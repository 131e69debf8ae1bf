#pragma once

#include "core/model/CalcParameters.h"
#include "gui/model/ExchangeDialog.h"

namespace sonivera {

// Dialog 133, "Параметры сцены": the nine calculation parameters of the scene. The controls stand
// top to bottom as ray count, grouping, passage limit, medium absorption, stop time, stop
// amplitude, then the three check boxes; they are exchanged (and a wrong one reported first) in
// the order passage limit, stop amplitude, grouping, the three flags, ray count, medium
// absorption, stop time.
class CSceneParamsDlg : public CExchangeDialog {
public:
    // Exchanges with `params`; its values are written only when OK is accepted. The ranges are
    // those of the parameter table (core/model/CalcParameterTable.h).
    CSceneParamsDlg(wxWindow* parent, CalcParameters& params);

private:
    CalcParameters& m_params;
};

} // namespace sonivera
