#include "gui/sound/SoundFileDialog.h"

#include "gui/common/FileNames.h"
#include "gui/common/MessageBoxes.h"
#include "gui/common/Strings.h"

#include <wx/filename.h>

namespace sonivera {

CSoundFileDialog::CSoundFileDialog(wxWindow* parent, Purpose purpose, const wxString& nameSuffix)
    : wxFileDialog(
          parent, Ui(purpose == Purpose::OpenDrySound ? text::kDrySoundTitle : text::kSaveAsTitle),
          StartBesideScene(nameSuffix).folder, StartBesideScene(nameSuffix).name,
          Ui(purpose == Purpose::OpenDrySound ? text::kSoundFileFilter : text::kWavFileFilter),
          purpose == Purpose::OpenDrySound ? wxFD_OPEN | wxFD_FILE_MUST_EXIST
                                           : wxFD_SAVE | wxFD_OVERWRITE_PROMPT),
      m_purpose(purpose) {}

wxString CSoundFileDialog::GetPath() const {
    return m_chosenPath.empty() ? wxFileDialog::GetPath() : m_chosenPath;
}

wxString AskDrySoundPath(wxWindow* parent) {
    CSoundFileDialog dialog(parent, CSoundFileDialog::Purpose::OpenDrySound);
    return dialog.ShowModal() == wxID_OK ? dialog.GetPath() : wxString();
}

wxString AskSaveWavPath(wxWindow* parent, const wxString& nameSuffix) {
    CSoundFileDialog dialog(parent, CSoundFileDialog::Purpose::SaveWav, nameSuffix);
    if (dialog.ShowModal() != wxID_OK) {
        return {};
    }
    const wxString chosen = dialog.GetPath();
    wxString path = chosen;
    if (!path.empty() && !wxFileName(path).HasExt()) {
        path += "." + Ui(text::kWavExtension);
    }
    // The dialog confirmed replacing only the name as typed; ask again for the completed name.
    if (path != chosen && wxFileName::Exists(path) && !AskReplaceFile(parent, path)) {
        return {};
    }
    return path;
}

} // namespace sonivera
