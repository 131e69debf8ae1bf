#pragma once

#include "gui/model/ExchangeDialog.h"
#include "gui/model/SceneEdits.h"

namespace sonivera {

// Dialog 133, "Параметры сцены": the nine calculation parameters of the scene. The controls stand
// top to bottom as ray count, grouping, passage limit, medium absorption, stop time, stop
// amplitude, then the three check boxes; they are exchanged (and a wrong one reported first) in
// the order passage limit, stop amplitude, grouping, the three flags, ray count, medium
// absorption, stop time.
class CSceneParamsDlg : public CExchangeDialog {
public:
    // The largest finite value, standing for an infinite coefficient in the "0 - Inf" fields.
    static constexpr double kInfiniteCoefficient = 1.7e308;

    CSceneParamsDlg(wxWindow* parent, SceneParamFields& fields);

private:
    SceneParamFields& m_fields;
};

} // namespace sonivera
