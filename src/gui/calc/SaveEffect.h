#pragma once

#include <wx/filedlg.h>
#include <wx/string.h>

namespace sonivera {

struct SceneSettings;

// The save dialog of effect files: the filters "Файлы 3D эффектов (*.e3d)" and "Все файлы (*.*)"
// (the latter matching every name, dot or not, as "*"), the usual title of a save dialog ("Save
// As"), confirmation before replacing a file. It can be answered without being shown: a modal
// dialog hook calls SetChosenPath and returns wxID_OK, and GetPath then returns that path.
class CEffectFileDialog : public wxFileDialog {
public:
    explicit CEffectFileDialog(wxWindow* parent);

    void SetChosenPath(const wxString& path) { m_chosenPath = path; }
    wxString GetPath() const override;

private:
    wxString m_chosenPath;
};

// The path with ".e3d" added when its file name has no extension.
wxString WithEffectExtension(const wxString& path);

// Asks for the effect file's name with a CEffectFileDialog owned by `parent`; an empty string
// when the user cancels. A name completed with ".e3d" that names an existing file is replaced
// only after the user confirms.
wxString AskSaveEffectPath(wxWindow* parent);

// Saves the scene's last effect to a file the user chooses: cancelling does nothing; the file is
// written by the safe writer, and a failure is reported (over `parent`) with the path and the
// reason, leaving any previous file intact. An effect that is not finite is refused in an error
// box naming the scene values that caused it, before a file is asked for; the scene's own file is
// refused as the target. True when a file was written.
bool SaveEffect(wxWindow* parent, const SceneSettings& scene);

} // namespace sonivera
