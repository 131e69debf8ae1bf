#pragma once

#include <wx/filedlg.h>
#include <wx/string.h>

namespace sonivera {

// The file dialog used for scene files. It can be answered without being shown: a modal dialog
// hook calls SetChosenPath and returns wxID_OK, and GetPath then returns that path (the native
// chooser keeps no path while it is not shown).
class CSceneFileDialog : public wxFileDialog {
public:
    CSceneFileDialog(wxWindow* parent, const wxString& title, const wxString& defaultDir,
                     const wxString& defaultName, long style);
    // The same with filters of its own ("Name|*.ext|...").
    CSceneFileDialog(wxWindow* parent, const wxString& title, const wxString& defaultDir,
                     const wxString& defaultName, const wxString& wildcard, long style);

    void SetChosenPath(const wxString& path) { m_chosenPath = path; }
    wxString GetPath() const override;

private:
    wxString m_chosenPath;
};

// The Open and Save As dialogs for scene files: titles "Open" and "Save As", the filters
// "Файлы эффекта объёмности (*.3d)" and "All Files (*.*)". Both return an empty string when the
// user cancels.

// Starts in LastSceneFolder().
wxString AskOpenScenePath(wxWindow* parent);

// The drawing to import a plan from ("Чертежи DXF (*.dxf)", all files); empty when cancelled.
wxString AskOpenDrawingPath(wxWindow* parent);

// Asks for the name to save under, offering `folder` and `suggestedName`. A name without an
// extension chosen under the scene filter gets ".3d"; an existing file is replaced only after the
// user confirms.
wxString AskSaveScenePath(wxWindow* parent, const wxString& folder, const wxString& suggestedName);

// The folder of the scene file last opened or saved in this session (the document manager's last
// directory), else that of the most recent file in the recent-file list, else none (the dialog
// then starts where the system puts it).
wxString LastSceneFolder();

// The path as the dialog returned it, with ".3d" added when it has no extension and the scene
// filter (index 0) was chosen.
wxString WithSceneExtension(const wxString& path, int filterIndex);

} // namespace sonivera
