#pragma once

#include <wx/dialog.h>

namespace sonivera {

// The About box (template 100), "О программе...": four centred lines naming the work, the
// program, its author and the year, above OK. OK, Enter and Esc close it.
class CAboutDlg : public wxDialog {
public:
    explicit CAboutDlg(wxWindow* parent);
};

} // namespace sonivera
