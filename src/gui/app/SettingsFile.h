#pragma once

#include <wx/fileconf.h>

namespace sonivera {

// The editor's settings file, written through the program's safe writer like every other file it
// writes: a symbolic link stays a link to the file it names, the file's permissions, owner and
// access list are kept, and a failed write leaves the old settings as they were.
class CSettingsFile : public wxFileConfig {
public:
    CSettingsFile(const wxString& appName, const wxString& vendorName, const wxString& path);
    ~CSettingsFile() override;

    bool Flush(bool currentOnly = false) override;

private:
    wxString m_path;
};

} // namespace sonivera
