#include "view/DialogPropertiesPort.h"

#include "common/MessageBoxes.h"
#include "common/Strings.h"
#include "model/RectPropsDlg.h"
#include "model/SourcePropsDlg.h"

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
