#pragma once

#include <string>

#include <wx/string.h>

namespace sonivera {

// Conversions between the editor's path strings and the file system's byte strings.

// The path in the file system's encoding, for the core's file functions.
std::string ToFileSystem(const wxString& path);
// A text from the file system or the C library (paths, system error texts) as a wxString.
wxString FromFileSystem(const std::string& text);
// The path made absolute against the current folder and normalised (no "." or "..").
wxString AbsolutePath(const wxString& path);

// Where the files made from the open scene are offered: the scene file's folder, and a name made
// from the scene's ("hall" + suffix). Both empty for a scene never saved (the dialog then starts
// where the toolkit starts it) or when no scene is open.
struct SceneFileStart {
    wxString folder;
    wxString name;
};
SceneFileStart StartBesideScene(const wxString& suffix);

} // namespace sonivera
