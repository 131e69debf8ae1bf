#pragma once

#include "core/model/FiniteInfinity.h"
#include "gui/model/ExchangeDialog.h"

namespace sonivera {

// Dialog 167, the properties of a rectangle: its absorption coefficient (0 to 1.7e308, per metre
// of path) and its reflection coefficient in percent (0 to 100). Exchanges with the two values it
// is given; they are written only when OK is accepted.
class CRectPropsDlg : public CExchangeDialog {
public:
    static constexpr double kMaxAbsorption = kInfiniteCoefficient;
    static constexpr double kMaxPercent = 100.0;

    CRectPropsDlg(wxWindow* parent, double& absorption, double& reflectionPercent);
};

} // namespace sonivera
