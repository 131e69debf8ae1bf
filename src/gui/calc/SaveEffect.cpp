#include "calc/SaveEffect.h"

#include "app/FileNames.h"
#include "app/MessageBoxes.h"
#include "app/Strings.h"
#include "model/SceneFileError.h"
#include "tracer/EffectFile.h"

#include <wx/filename.h>

CEffectFileDialog::CEffectFileDialog(wxWindow* parent)
    : wxFileDialog(parent, Ui(text::kSaveAsTitle), wxString(), wxString(),
                   Ui(text::kEffectFileFilter), wxFD_SAVE | wxFD_OVERWRITE_PROMPT) {}

wxString CEffectFileDialog::GetPath() const {
    return m_chosenPath.empty() ? wxFileDialog::GetPath() : m_chosenPath;
}

wxString WithEffectExtension(const wxString& path) {
    if (path.empty() || wxFileName(path).HasExt()) {
        return path;
    }
    return path + "." + Ui(text::kEffectExtension);
}

wxString AskSaveEffectPath(wxWindow* parent) {
    CEffectFileDialog dialog(parent);
    if (dialog.ShowModal() != wxID_OK) {
        return {};
    }
    const wxString chosen = dialog.GetPath();
    const wxString path = WithEffectExtension(chosen);
    // The dialog confirmed replacing only the name as typed; ask again for the completed name.
    if (path != chosen && wxFileName::Exists(path) && !AskReplaceFile(parent, path)) {
        return {};
    }
    return path;
}

bool SaveEffect(wxWindow* parent, const SceneSettings& scene) {
    const wxString path = AskSaveEffectPath(parent);
    if (path.empty()) {
        return false;
    }
    try {
        WriteEffectFile(ToFileSystem(AbsolutePath(path)), scene);
    } catch (const SceneFileError& error) {
        ShowExclamation(
            parent, wxString::Format(Ui(text::kEffectSaveFailed), FromFileSystem(error.what())));
        return false;
    } catch (const NoEffectError& error) {
        ShowExclamation(parent, Ui(error.what()));
        return false;
    }
    return true;
}
