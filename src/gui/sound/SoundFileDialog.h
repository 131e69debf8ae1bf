#pragma once

#include <wx/filedlg.h>
#include <wx/string.h>

namespace sonivera {

// The file dialogs of listening: opening a dry sound (any sound file the audio library reads)
// and saving a WAV file (confirmation before replacing). Like the effect file's dialog, it can be
// answered without being shown: a modal dialog hook calls SetChosenPath and returns wxID_OK.
class CSoundFileDialog : public wxFileDialog {
public:
    enum class Purpose { OpenDrySound, SaveWav };

    // Starts in the open scene's folder; a WAV offers the scene's name with `nameSuffix`.
    CSoundFileDialog(wxWindow* parent, Purpose purpose, const wxString& nameSuffix = wxString());

    Purpose GetPurpose() const { return m_purpose; }
    void SetChosenPath(const wxString& path) { m_chosenPath = path; }
    wxString GetPath() const override;

private:
    Purpose m_purpose;
    wxString m_chosenPath;
};

// Asks for the dry sound to listen to; an empty string when the user cancels.
wxString AskDrySoundPath(wxWindow* parent);

// Asks for the name of a WAV file to write; ".wav" is added to a name without extension, and a
// completed name that names an existing file is replaced only after the user confirms. Empty when
// the user cancels.
wxString AskSaveWavPath(wxWindow* parent, const wxString& nameSuffix);

} // namespace sonivera
