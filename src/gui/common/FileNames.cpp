#include "gui/common/FileNames.h"

#include <wx/docview.h>
#include <wx/filename.h>

#include <wx/filename.h>

namespace sonivera {

std::string ToFileSystem(const wxString& path) {
    const wxScopedCharBuffer bytes = path.fn_str();
    return std::string(bytes.data(), bytes.length());
}

wxString FromFileSystem(const std::string& text) {
    wxString converted(text.c_str(), *wxConvFileName);
    if (converted.empty() && !text.empty()) {
        converted = wxString::FromUTF8(text.c_str());
    }
    return converted;
}

wxString AbsolutePath(const wxString& path) {
    wxFileName name(path);
    name.MakeAbsolute();
    name.Normalize(wxPATH_NORM_DOTS | wxPATH_NORM_ABSOLUTE);
    return name.GetFullPath();
}

SceneFileStart StartBesideScene(const wxString& suffix) {
    wxDocManager* docs = wxDocManager::GetDocumentManager();
    wxDocument* doc = docs ? docs->GetCurrentDocument() : nullptr;
    if (!doc || doc->GetFilename().empty()) {
        return {};
    }
    const wxFileName file(doc->GetFilename());
    return {file.GetPath(), suffix.empty() ? wxString() : file.GetName() + suffix};
}

} // namespace sonivera
