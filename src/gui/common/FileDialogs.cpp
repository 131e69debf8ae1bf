#include "gui/common/FileDialogs.h"

#include "gui/common/MessageBoxes.h"
#include "gui/common/Strings.h"

#include <wx/docview.h>
#include <wx/filehistory.h>
#include <wx/filename.h>

namespace sonivera {

namespace {

wxString Wildcard() {
    return Ui(text::kSceneFilterName) + "|" + Ui(text::kSceneFilterPattern) + "|" +
           Ui(text::kAllFilesFilterName) + "|" + Ui(text::kAllFilesPattern);
}

} // namespace

CSceneFileDialog::CSceneFileDialog(wxWindow* parent, const wxString& title,
                                   const wxString& defaultDir, const wxString& defaultName,
                                   long style)
    : wxFileDialog(parent, title, defaultDir, defaultName, Wildcard(), style) {}

CSceneFileDialog::CSceneFileDialog(wxWindow* parent, const wxString& title,
                                   const wxString& defaultDir, const wxString& defaultName,
                                   const wxString& wildcard, long style)
    : wxFileDialog(parent, title, defaultDir, defaultName, wildcard, style) {}

wxString CSceneFileDialog::GetPath() const {
    return m_chosenPath.empty() ? wxFileDialog::GetPath() : m_chosenPath;
}

wxString AskOpenScenePath(wxWindow* parent) {
    CSceneFileDialog dialog(parent, Ui(text::kOpenTitle), LastSceneFolder(), wxString(),
                            wxFD_OPEN | wxFD_FILE_MUST_EXIST);
    if (dialog.ShowModal() != wxID_OK) {
        return {};
    }
    return dialog.GetPath();
}

wxString AskOpenDrawingPath(wxWindow* parent) {
    CSceneFileDialog dialog(parent, Ui(text::kImportPlanTitle), LastSceneFolder(), wxString(),
                            Ui(text::kDrawingFilter) + "|" + Ui(text::kAllFilesFilterName) + "|" +
                                Ui(text::kAllFilesPattern),
                            wxFD_OPEN | wxFD_FILE_MUST_EXIST);
    if (dialog.ShowModal() != wxID_OK) {
        return {};
    }
    return dialog.GetPath();
}

wxString WithSceneExtension(const wxString& path, int filterIndex) {
    if (filterIndex != 0 || path.empty() || wxFileName(path).HasExt()) {
        return path;
    }
    return path + "." + Ui(text::kSceneExtension);
}

wxString AskSaveScenePath(wxWindow* parent, const wxString& folder, const wxString& suggestedName) {
    CSceneFileDialog dialog(parent, Ui(text::kSaveAsTitle), folder, suggestedName,
                            wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
    if (dialog.ShowModal() != wxID_OK) {
        return {};
    }
    const wxString chosen = dialog.GetPath();
    const wxString path = WithSceneExtension(chosen, dialog.GetFilterIndex());
    // The dialog confirmed replacing only the name as typed; ask again for the completed name.
    if (path != chosen && wxFileName::Exists(path) && !AskReplaceFile(parent, path)) {
        return {};
    }
    return path;
}

wxString LastSceneFolder() {
    const wxDocManager* manager = wxDocManager::GetDocumentManager();
    if (!manager) {
        return {};
    }
    if (!manager->GetLastDirectory().empty()) {
        return manager->GetLastDirectory();
    }
    const wxFileHistory* history = manager->GetFileHistory();
    if (history && history->GetCount() > 0) {
        const wxString folder = wxPathOnly(history->GetHistoryFile(0));
        if (wxFileName::DirExists(folder)) {
            return folder;
        }
    }
    return {};
}

} // namespace sonivera
