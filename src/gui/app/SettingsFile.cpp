#include "gui/app/SettingsFile.h"

#include "core/files/SafeFileWriter.h"

#include <wx/mstream.h>

#include <cstdint>
#include <exception>
#include <span>

namespace sonivera {

CSettingsFile::CSettingsFile(const wxString& appName, const wxString& vendorName,
                             const wxString& path)
    : wxFileConfig(appName, vendorName, path, wxString(), wxCONFIG_USE_LOCAL_FILE), m_path(path) {}

CSettingsFile::~CSettingsFile() {
    // The toolkit's own destructor would write unsaved changes its own way: they go through the
    // safe writer first, and then there is nothing left for it to write.
    Flush();
}

bool CSettingsFile::Flush(bool) {
    wxMemoryOutputStream text;
    // Saving to a stream marks the settings as written, so the toolkit never writes them itself.
    if (!Save(text)) {
        return false;
    }
    const auto* data =
        static_cast<const std::uint8_t*>(text.GetOutputStreamBuffer()->GetBufferStart());
    try {
        WriteFileSafely(
            m_path.utf8_string(),
            std::span<const std::uint8_t>(data, text.GetOutputStreamBuffer()->GetIntPosition()));
    } catch (const std::exception&) {
        return false; // the settings are the user's convenience: a failed write is not an error
    }
    return true;
}

} // namespace sonivera
