#include "gui/calc/SaveEffect.h"

#include "gui/common/FileNames.h"
#include "gui/common/MessageBoxes.h"
#include "gui/common/Strings.h"
#include "core/files/SafeFileWriter.h"
#include "core/files/FileError.h"
#include "core/tracer/EffectFile.h"
#include "core/tracer/EffectFinite.h"

#include <wx/docview.h>
#include <wx/filename.h>

#include <string>
#include <vector>

namespace sonivera {

CEffectFileDialog::CEffectFileDialog(wxWindow* parent)
    : wxFileDialog(parent, Ui(text::kSaveAsTitle), StartBesideScene(".e3d").folder,
                   StartBesideScene(".e3d").name, Ui(text::kEffectFileFilter),
                   wxFD_SAVE | wxFD_OVERWRITE_PROMPT) {}

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

namespace {

// The scene document's own file, if it has one: the effect may not be written over it.
std::vector<std::string> SceneFiles() {
    const wxDocManager* manager = wxDocManager::GetDocumentManager();
    const wxDocument* doc = manager ? manager->GetCurrentDocument() : nullptr;
    if (!doc || !doc->GetDocumentSaved() || doc->GetFilename().empty()) {
        return {};
    }
    return {ToFileSystem(doc->GetFilename())};
}

} // namespace

bool SaveEffect(wxWindow* parent, const SceneSettings& scene) {
    // An effect that is not finite is refused before a file is asked for.
    try {
        RequireFiniteEffect(scene);
    } catch (const EffectNotFiniteError& error) {
        ShowError(parent, wxString::Format(Ui(text::kEffectSaveFailed), Ui(error.what())));
        return false;
    }
    const wxString path = AskSaveEffectPath(parent);
    if (path.empty()) {
        return false;
    }
    try {
        const std::string target = ToFileSystem(AbsolutePath(path));
        RefuseSameFiles(SceneFiles(), {target});
        WriteEffectFile(target, scene);
    } catch (const SameFileError& error) {
        ShowExclamation(
            parent, wxString::Format(Ui(text::kEffectSaveFailed), FromFileSystem(error.what())));
        return false;
    } catch (const FileError& error) {
        ShowExclamation(
            parent, wxString::Format(Ui(text::kEffectSaveFailed), FromFileSystem(error.what())));
        return false;
    } catch (const NoEffectError& error) {
        ShowExclamation(parent, Ui(error.what()));
        return false;
    }
    return true;
}

} // namespace sonivera
