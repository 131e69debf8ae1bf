#include "gui/app/RecentFiles.h"

#include "gui/app/Strings.h"

#include <wx/config.h>
#include <wx/filename.h>

namespace sonivera {

wxString AbbreviatePath(const wxString& path, size_t maxChars) {
    if (path.length() <= maxChars) {
        return path;
    }
    const wxString separator = wxFileName::GetPathSeparator();
    const wxString name = path.AfterLast(separator[0]);
    const wxString root = path.StartsWith(separator) ? separator : wxString();
    const wxString ellipsis = root + "..." + separator;
    if (ellipsis.length() + name.length() > maxChars) {
        return name;
    }
    // Keep as many trailing folders as fit in front of the name.
    wxString tail = name;
    wxString rest = path.BeforeLast(separator[0]);
    while (!rest.empty()) {
        const wxString folder = rest.AfterLast(separator[0]);
        const wxString longer = folder + separator + tail;
        if (folder.empty() || ellipsis.length() + longer.length() > maxChars) {
            break;
        }
        tail = longer;
        rest = rest.BeforeLast(separator[0]);
    }
    return ellipsis + tail;
}

wxString RecentFileMenuLabel(int index, const wxString& path) {
    wxString shown = AbbreviatePath(path);
    shown.Replace("&", "&&");
    return wxString::Format("&%d ", index + 1) + shown;
}

namespace {

wxString EntryName(int number) {
    return "/" + Ui(text::kRecentFileGroup) + "/" +
           wxString::Format(Ui(text::kRecentFileEntry), number);
}

} // namespace

std::vector<wxString> LoadRecentFiles(wxConfigBase& config, int maxEntries) {
    std::vector<wxString> paths;
    for (int number = 1; number <= maxEntries; ++number) {
        wxString path;
        if (config.Read(EntryName(number), &path) && !path.empty()) {
            paths.push_back(path);
        }
    }
    return paths;
}

void SaveRecentFiles(wxConfigBase& config, const std::vector<wxString>& paths) {
    config.DeleteGroup("/" + Ui(text::kRecentFileGroup));
    for (size_t i = 0; i < paths.size(); ++i) {
        config.Write(EntryName(static_cast<int>(i) + 1), paths[i]);
    }
    config.Flush();
}

} // namespace sonivera
