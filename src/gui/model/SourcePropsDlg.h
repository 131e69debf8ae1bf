#pragma once

#include "gui/model/ExchangeDialog.h"

namespace sonivera {

// Dialog 168, the properties of a sound source: its power in percent (0 to 100). Exchanges with
// the value it is given; it is written only when OK is accepted.
class CSourcePropsDlg : public CExchangeDialog {
public:
    static constexpr double kMaxPercent = 100.0;

    CSourcePropsDlg(wxWindow* parent, double& powerPercent);
};

} // namespace sonivera
