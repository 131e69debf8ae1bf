#include "gui/view/DialogPropertiesPort.h"

#include "gui/app/MessageBoxes.h"
#include "gui/app/Strings.h"
#include "gui/model/RectPropsDlg.h"
#include "gui/model/SourcePropsDlg.h"

namespace sonivera {

void CDialogPropertiesPort::ShowNoProperties() {
    ShowPlainMessage(m_pViewWindow, Ui(text::kNoProperties));
}

bool CDialogPropertiesPort::EditSourcePower(double& powerPercent) {
    double power = powerPercent;
    CSourcePropsDlg dialog(m_pMainWindow, power);
    if (dialog.ShowModal() != wxID_OK) {
        return false;
    }
    powerPercent = power;
    return true;
}

bool CDialogPropertiesPort::EditRectProperties(double& absorption, double& reflectionPercent) {
    double absorptionField = absorption;
    double reflectionField = reflectionPercent;
    CRectPropsDlg dialog(m_pMainWindow, absorptionField, reflectionField);
    if (dialog.ShowModal() != wxID_OK) {
        return false;
    }
    absorption = absorptionField;
    reflectionPercent = reflectionField;
    return true;
}

} // namespace sonivera
