#pragma once

#include "audio/AudioBuffer.h"
#include "audio/AudioPlayer.h"
#include "audio/ImpulseResponse.h"

#include <wx/dialog.h>
#include <wx/timer.h>

#include <atomic>
#include <memory>
#include <span>
#include <string>
#include <thread>
#include <vector>

class wxButton;
class wxStaticText;

namespace sonivera {

// "Прослушать...": a small modeless window that convolves a dry sound with the effect on a worker
// thread and then plays the result on the default audio output, with a "Стоп" button. The editor
// stays usable all along. The result is brought to full scale, so what is heard never clips.
// Where the machine has no audio device it says so and offers to save the result as WAV instead;
// a sound that cannot be read is reported. The window closes itself when playing ends. One at a
// time: starting another closes the previous one.
class CListenDialog : public wxDialog {
public:
    enum class State { Preparing, Playing };

    // Asks for the dry sound over `parent` and, unless the user cancels, opens the window and
    // starts the work. `player` plays the result (the default output when null). Returns the
    // window, or null when the user cancelled.
    static CListenDialog* Start(wxWindow* parent, std::span<const double> bins, double groupTime,
                                std::unique_ptr<AudioPlayer> player = nullptr);
    // The same with the calculation's response at audio resolution when it kept one.
    static CListenDialog* Start(wxWindow* parent, EffectResponseSource source,
                                std::unique_ptr<AudioPlayer> player = nullptr);

    // The window now open, or null.
    static CListenDialog* Current() { return s_current; }

    ~CListenDialog() override;

    State GetState() const { return m_state; }
    // True once the worker has finished (with a sound or an error) and Poll would act on it.
    bool IsSoundReady() const { return m_ready.load(); }
    // What the timer does: starts playing once the sound is ready, closes when playing ended.
    void Poll();
    // The "Стоп" button: stops the convolution or the playing and closes the window.
    void Stop();

private:
    CListenDialog(wxWindow* parent, const wxString& dryPath, EffectResponseSource source,
                  std::unique_ptr<AudioPlayer> player);

    void Work(std::string dryPath, EffectResponseSource source);
    void StartPlaying();
    void Finish();

    static CListenDialog* s_current;

    std::unique_ptr<AudioPlayer> m_player;
    wxString m_dryName;
    wxStaticText* m_status = nullptr;
    wxButton* m_stop = nullptr;
    wxTimer m_timer;
    State m_state = State::Preparing;
    bool m_finishing = false;

    std::thread m_worker;
    std::atomic<bool> m_cancel{false};
    std::atomic<bool> m_ready{false};
    AudioBuffer m_sound;   // written by the worker before m_ready
    std::string m_failure; // likewise
};

} // namespace sonivera
