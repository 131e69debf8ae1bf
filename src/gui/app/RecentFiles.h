#pragma once

#include <wx/string.h>

#include <vector>

class wxConfigBase;

namespace sonivera {

// The recent-file list's presentation and storage.

// The path shortened to at most maxChars characters for the File menu, always keeping the file
// name: leading folders are replaced by "..." after the root ("/.../scenes/room.3d"); a file name
// too long for that is shown alone.
wxString AbbreviatePath(const wxString& path, size_t maxChars = 30);

// The File menu text of entry `index` (from 0): "&1 " and the shortened path, with any "&" of the
// path doubled so it is not taken for a mnemonic.
wxString RecentFileMenuLabel(int index, const wxString& path);

// Reads the list, most recent first, from the "Recent File List" group (File1, File2, ...). Empty
// and missing entries are skipped; at most maxEntries are returned.
std::vector<wxString> LoadRecentFiles(wxConfigBase& config, int maxEntries);
// Replaces the group with the given list and flushes the settings.
void SaveRecentFiles(wxConfigBase& config, const std::vector<wxString>& paths);

} // namespace sonivera
