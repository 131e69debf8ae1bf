#pragma once

#include <wx/docview.h>

#include <functional>
#include <vector>

namespace sonivera {

// The document manager of the editor: names new scenes "Untitled" and keeps the recent-file list
// of four entries (commands 57616 to 57619), telling a listener whenever the list changes so the
// File menu and the settings follow it.
class CSceneDocManager : public wxDocManager {
public:
    CSceneDocManager();

    wxString MakeNewDocumentName() override;
    wxFileHistory* OnCreateFileHistory() override;
    void AddFileToHistory(const wxString& file) override;
    void RemoveFileFromHistory(size_t index) override;

    // The recent files, most recent first.
    std::vector<wxString> RecentFiles() const;
    // Replaces the list (most recent first), as read from the settings.
    void SetRecentFiles(const std::vector<wxString>& paths);
    void SetRecentFilesListener(std::function<void()> listener);

private:
    void NotifyRecentFiles();

    std::function<void()> m_recentListener;
};

} // namespace sonivera
