#include "gui/sound/ListenDialog.h"

#include "audio/AudioError.h"
#include "audio/AudioFile.h"
#include "audio/Convolution.h"
#include "audio/ImpulseResponse.h"
#include "audio/Level.h"
#include "gui/common/FileNames.h"
#include "gui/common/MessageBoxes.h"
#include "gui/common/Strings.h"
#include "gui/sound/ExportWav.h"
#include "gui/sound/SoundFileDialog.h"

#include <wx/button.h>
#include <wx/filename.h>
#include <wx/sizer.h>
#include <wx/stattext.h>

namespace sonivera {

CListenDialog* CListenDialog::s_current = nullptr;

CListenDialog* CListenDialog::Start(wxWindow* parent, std::span<const double> bins,
                                    double groupTime, std::unique_ptr<AudioPlayer> player) {
    return Start(parent, EffectResponseSource{{bins.begin(), bins.end()}, groupTime, {}, 0},
                 std::move(player));
}

CListenDialog* CListenDialog::Start(wxWindow* parent, EffectResponseSource source,
                                    std::unique_ptr<AudioPlayer> player) {
    const wxString path = AskDrySoundPath(parent);
    if (path.empty()) {
        return nullptr;
    }
    if (s_current != nullptr) {
        s_current->Stop();
    }
    if (!player) {
        player = std::make_unique<AudioPlayer>();
    }
    auto* dialog = new CListenDialog(parent, path, std::move(source), std::move(player));
    dialog->Show();
    return dialog;
}

CListenDialog::CListenDialog(wxWindow* parent, const wxString& dryPath, EffectResponseSource source,
                             std::unique_ptr<AudioPlayer> player)
    : wxDialog(parent, wxID_ANY, Ui(text::kListenTitle), wxDefaultPosition, wxDefaultSize,
               wxCAPTION | wxCLOSE_BOX),
      m_player(std::move(player)), m_dryName(wxFileName(dryPath).GetFullName()), m_timer(this) {
    s_current = this;
    m_status = new wxStaticText(this, wxID_ANY, Ui(text::kListenPreparing));
    m_stop = new wxButton(this, wxID_STOP, Ui(text::kStopButton));
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(m_status, wxSizerFlags().Border(wxALL, 12).Expand());
    sizer->Add(m_stop, wxSizerFlags().Border(wxLEFT | wxRIGHT | wxBOTTOM, 12).Center());
    SetSizerAndFit(sizer);
    SetMinClientSize(FromDIP(wxSize(320, -1)));
    Fit();
    CentreOnParent();

    m_stop->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { Stop(); });
    Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent&) { Stop(); });
    Bind(wxEVT_TIMER, [this](wxTimerEvent&) { Poll(); });
    m_worker = std::thread(&CListenDialog::Work, this, ToFileSystem(AbsolutePath(dryPath)),
                           std::move(source));
    m_timer.Start(50);
}

CListenDialog::~CListenDialog() {
    m_timer.Stop();
    m_cancel = true;
    if (m_worker.joinable()) {
        m_worker.join();
    }
    m_player.reset();
    if (s_current == this) {
        s_current = nullptr;
    }
}

void CListenDialog::Work(std::string dryPath, EffectResponseSource source) {
    try {
        AudioBuffer dry = ReadAudioFile(dryPath);
        if (dry.Frames() == 0) {
            throw AudioError(dryPath + ": the file holds no sound.");
        }
        const auto response = ImpulseResponseAtRate(source, dry.rate);
        AudioBuffer wet = Convolve(dry, response, &m_cancel);
        NormalizeToFullScale(wet);
        m_sound = std::move(wet);
    } catch (const ConvolutionCancelled&) {
        m_failure.clear();
    } catch (const AudioError& error) {
        m_failure = error.what();
    } catch (const std::bad_alloc&) {
        m_failure = "Not enough memory.";
    }
    m_ready = true;
}

void CListenDialog::Poll() {
    if (m_finishing) {
        return;
    }
    if (m_state == State::Preparing) {
        if (!m_ready) {
            return;
        }
        m_worker.join();
        if (!m_failure.empty()) {
            m_timer.Stop();
            Hide();
            ShowExclamation(GetParent(),
                            wxString::Format(Ui(text::kSoundFailed), FromFileSystem(m_failure)));
            Finish();
            return;
        }
        StartPlaying();
    } else if (!m_player->IsPlaying()) {
        Finish();
    }
}

void CListenDialog::StartPlaying() {
    try {
        m_player->Play(m_sound);
        m_state = State::Playing;
        m_status->SetLabel(wxString::Format(Ui(text::kListenPlaying), m_dryName));
        Layout();
    } catch (const NoAudioDeviceError&) {
        m_timer.Stop();
        Hide();
        if (AskWarningYesNo(GetParent(), Ui(text::kNoAudioDevice), Ui(text::kAppTitle))) {
            SaveSoundAsWav(GetParent(), m_sound);
        }
        Finish();
    } catch (const AudioError& error) {
        m_timer.Stop();
        Hide();
        ShowExclamation(GetParent(),
                        wxString::Format(Ui(text::kSoundFailed), FromFileSystem(error.what())));
        Finish();
    }
}

void CListenDialog::Stop() {
    m_cancel = true;
    if (m_player) {
        m_player->Stop();
    }
    Finish();
}

void CListenDialog::Finish() {
    if (m_finishing) {
        return;
    }
    m_finishing = true;
    m_timer.Stop();
    if (s_current == this) {
        s_current = nullptr;
    }
    Hide();
    // The worker (if still running) sees the cancel flag and ends; the destructor joins it.
    m_cancel = true;
    Destroy();
}

} // namespace sonivera
