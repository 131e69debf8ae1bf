#include "gui/app/SceneDocManager.h"

#include "gui/app/CommandIds.h"
#include "gui/app/Strings.h"

#include <wx/filehistory.h>

namespace sonivera {

CSceneDocManager::CSceneDocManager() : wxDocManager(0, false) {
    // Initialised here, not by the base constructor, so that our file history is the one created.
    Initialize();
}

wxString CSceneDocManager::MakeNewDocumentName() {
    return Ui(text::kUntitled);
}

wxFileHistory* CSceneDocManager::OnCreateFileHistory() {
    return new wxFileHistory(kRecentFileCount, ID_FILE_MRU_FILE1);
}

void CSceneDocManager::AddFileToHistory(const wxString& file) {
    wxDocManager::AddFileToHistory(file);
    NotifyRecentFiles();
}

void CSceneDocManager::RemoveFileFromHistory(size_t index) {
    wxDocManager::RemoveFileFromHistory(index);
    NotifyRecentFiles();
}

std::vector<wxString> CSceneDocManager::RecentFiles() const {
    std::vector<wxString> paths;
    if (const wxFileHistory* history = GetFileHistory()) {
        for (size_t i = 0; i < history->GetCount(); ++i) {
            paths.push_back(history->GetHistoryFile(i));
        }
    }
    return paths;
}

void CSceneDocManager::SetRecentFiles(const std::vector<wxString>& paths) {
    if (wxFileHistory* history = GetFileHistory()) {
        while (history->GetCount() > 0) {
            history->RemoveFileFromHistory(0);
        }
        for (auto it = paths.rbegin(); it != paths.rend(); ++it) {
            history->AddFileToHistory(*it);
        }
    }
    NotifyRecentFiles();
}

void CSceneDocManager::SetRecentFilesListener(std::function<void()> listener) {
    m_recentListener = std::move(listener);
}

void CSceneDocManager::NotifyRecentFiles() {
    if (m_recentListener) {
        m_recentListener();
    }
}

} // namespace sonivera
