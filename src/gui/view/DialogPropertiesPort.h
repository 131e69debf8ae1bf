#pragma once

#include "core/model/PropertiesPort.h"

class wxWindow;

namespace sonivera {

// The objects' properties as the user sees them: the listener's message box (owned by the view's
// window) and the modal dialogs 167 and 168 (owned by the main window). A value is handed back
// only when its dialog was closed with OK.
class CDialogPropertiesPort : public PropertiesPort {
public:
    CDialogPropertiesPort(wxWindow* viewWindow, wxWindow* mainWindow)
        : m_pViewWindow(viewWindow), m_pMainWindow(mainWindow) {}

    void ShowNoProperties() override;
    bool EditSourcePower(double& powerPercent) override;
    bool EditRectProperties(double& absorption, double& reflectionPercent) override;

private:
    wxWindow* m_pViewWindow;
    wxWindow* m_pMainWindow;
};

} // namespace sonivera
