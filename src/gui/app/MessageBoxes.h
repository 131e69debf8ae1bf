#pragma once

class wxString;
class wxWindow;

namespace sonivera {

// The message boxes of the application shell. Each is a wxGenericMessageDialog (it shows the icon
// on every platform) run modally, so tests can answer it through a modal dialog hook. A parent that
// is not on screen is replaced by the main window when that is shown, else by none.

// A message with the exclamation icon and OK, captioned with the application title (refused
// dialog entries, file errors, "Unexpected file format.").
void ShowExclamation(wxWindow* parent, const wxString& message);

// An error under the caption "Ошибка": exclamation icon and OK (the scene check's findings, a
// refused calculation).
void ShowError(wxWindow* parent, const wxString& message);

// A message with OK and no icon, captioned with the application title (an object without
// properties of its own, a clean scene).
void ShowPlainMessage(wxWindow* parent, const wxString& message);

// A warning question under its own caption: exclamation icon, Yes (the default) and No; true only
// for Yes (deleting an object).
bool AskWarningYesNo(wxWindow* parent, const wxString& message, const wxString& caption);

// "Save changes to <name>?" with Yes, No and Cancel; returns wxYES, wxNO or wxCANCEL.
int AskSaveChanges(wxWindow* parent, const wxString& documentName);

// "<path> already exists. Do you want to replace it?" with Yes and No; true for Yes.
bool AskReplaceFile(wxWindow* parent, const wxString& path);

} // namespace sonivera
