#include "gui/sound/ExportWav.h"

#include "audio/AudioError.h"
#include "audio/AudioFile.h"
#include "audio/ImpulseResponse.h"
#include "gui/app/FileNames.h"
#include "gui/app/MessageBoxes.h"
#include "gui/app/Strings.h"
#include "core/model/SafeFileWriter.h"
#include "core/model/SceneFileError.h"
#include "gui/sound/SoundFileDialog.h"

namespace sonivera {

namespace {

bool WriteWav(wxWindow* parent, const wxString& path, const AudioBuffer& sound) {
    try {
        WriteFileSafely(ToFileSystem(AbsolutePath(path)), EncodeFloatWav(sound));
        return true;
    } catch (const SceneFileError& error) {
        ShowExclamation(parent, wxString::Format(Ui(text::kWavSaveFailed),
                                                 FromFileSystem(error.what())));
    } catch (const AudioError& error) {
        ShowExclamation(parent,
                        wxString::Format(Ui(text::kWavSaveFailed), FromFileSystem(error.what())));
    }
    return false;
}

} // namespace

bool ExportImpulseResponse(wxWindow* parent, std::span<const double> bins, double groupTime) {
    AudioBuffer response{kExportRate, 1, {}};
    try {
        response.samples = ImpulseResponseFromBins(bins, groupTime, kExportRate);
    } catch (const AudioError& error) {
        ShowExclamation(parent,
                        wxString::Format(Ui(text::kSoundFailed), FromFileSystem(error.what())));
        return false;
    }
    const wxString path = AskSaveWavPath(parent);
    return !path.empty() && WriteWav(parent, path, response);
}

bool SaveSoundAsWav(wxWindow* parent, const AudioBuffer& sound) {
    const wxString path = AskSaveWavPath(parent);
    return !path.empty() && WriteWav(parent, path, sound);
}

} // namespace sonivera
