#include "gui/sound/ExportWav.h"

#include "audio/AudioError.h"
#include "audio/AudioFile.h"
#include "audio/ImpulseResponse.h"
#include "core/files/SafeFileWriter.h"
#include "core/files/FileError.h"
#include "gui/common/FileNames.h"
#include "gui/common/MessageBoxes.h"
#include "gui/common/Strings.h"
#include "gui/sound/SoundFileDialog.h"

namespace sonivera {

namespace {

bool WriteWav(wxWindow* parent, const wxString& path, const AudioBuffer& sound) {
    try {
        WriteFileSafely(ToFileSystem(AbsolutePath(path)), EncodeFloatWav(sound));
        return true;
    } catch (const FileError& error) {
        ShowExclamation(parent,
                        wxString::Format(Ui(text::kWavSaveFailed), FromFileSystem(error.what())));
    } catch (const AudioError& error) {
        ShowExclamation(parent,
                        wxString::Format(Ui(text::kWavSaveFailed), FromFileSystem(error.what())));
    }
    return false;
}

} // namespace

bool ExportImpulseResponse(wxWindow* parent, std::span<const double> bins, double groupTime) {
    return ExportImpulseResponse(
        parent, EffectResponseSource{{bins.begin(), bins.end()}, groupTime, {}, 0});
}

bool ExportImpulseResponse(wxWindow* parent, const EffectResponseSource& source) {
    AudioBuffer response{kExportRate, 1, {}};
    try {
        response.samples = ImpulseResponseAtRate(source, kExportRate);
    } catch (const AudioError& error) {
        ShowExclamation(parent,
                        wxString::Format(Ui(text::kSoundFailed), FromFileSystem(error.what())));
        return false;
    }
    const wxString path = AskSaveWavPath(parent, "-ir.wav");
    return !path.empty() && WriteWav(parent, path, response);
}

bool SaveSoundAsWav(wxWindow* parent, const AudioBuffer& sound) {
    const wxString path = AskSaveWavPath(parent, "-heard.wav");
    return !path.empty() && WriteWav(parent, path, sound);
}

} // namespace sonivera
