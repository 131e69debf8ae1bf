#pragma once

class wxString;
class wxWindow;

// The message boxes of the scene check and the effect calculation. Like the shell's boxes they are
// wxGenericMessageDialogs run modally (a modal dialog hook can answer them), owned by the given
// window while it is on screen, else by the main window while that is shown.

// An error: caption "Ошибка", exclamation icon, OK.
void ShowErrorBox(wxWindow* owner, const wxString& message);

// A plain notice: captioned with the application title, no icon, OK.
void ShowNoticeBox(wxWindow* owner, const wxString& message);
