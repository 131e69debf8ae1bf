#include "audio/AudioPlayer.h"

#include "audio/AudioError.h"

#include <alsa/asoundlib.h>
#include <portaudio.h>

#include <algorithm>
#include <string>

namespace sonivera {

namespace {

// ALSA reports every missing card on standard error while PortAudio looks for devices; the
// program says itself when there is no device, so these reports are dropped.
void QuietAlsa(const char*, int, const char*, int, const char*, ...) {}

} // namespace

struct AudioPlayer::Stream {
    AudioBuffer sound;
    int outChannels = 0;
    std::atomic<std::size_t> position{0};
    PaStream* handle = nullptr;

    static int Callback(const void*, void* output, unsigned long frameCount,
                        const PaStreamCallbackTimeInfo*, PaStreamCallbackFlags, void* user) {
        auto* self = static_cast<Stream*>(user);
        std::size_t at = self->position.load(std::memory_order_relaxed);
        std::size_t taken = FillPlaybackBlock(self->sound, at, static_cast<float*>(output),
                                              frameCount, self->outChannels);
        self->position.store(at + taken, std::memory_order_relaxed);
        return at + taken >= self->sound.Frames() ? paComplete : paContinue;
    }
};

std::size_t FillPlaybackBlock(const AudioBuffer& sound, std::size_t position, float* out,
                              std::size_t frames, int outChannels) {
    const std::size_t total = sound.Frames();
    const std::size_t taken = position < total ? std::min(frames, total - position) : 0;
    const auto inCh = static_cast<std::size_t>(sound.channels);
    const auto outCh = static_cast<std::size_t>(outChannels);
    std::fill(out, out + frames * outCh, 0.0f);
    const std::size_t shared = std::min(inCh, outCh);
    for (std::size_t f = 0; f < taken; ++f)
        for (std::size_t c = 0; c < shared; ++c)
            out[f * outCh + c] = sound.samples[(position + f) * inCh + c];
    return taken;
}

AudioPlayer::AudioPlayer() : AudioPlayer([] { return static_cast<int>(Pa_GetDefaultOutputDevice()); }) {}

AudioPlayer::AudioPlayer(DeviceChooser chooser) : m_chooser(std::move(chooser)) {}

AudioPlayer::~AudioPlayer() {
    Close();
    if (m_initialised)
        Pa_Terminate();
}

void AudioPlayer::Play(AudioBuffer sound) {
    Close();
    // Start the audio system afresh each time, so a device plugged in since is found.
    if (m_initialised) {
        Pa_Terminate();
        m_initialised = false;
    }
    snd_lib_error_set_handler(QuietAlsa);
    PaError error = Pa_Initialize();
    if (error != paNoError)
        throw NoAudioDeviceError(Pa_GetErrorText(error));
    m_initialised = true;

    int device = m_chooser();
    const PaDeviceInfo* info = device >= 0 ? Pa_GetDeviceInfo(device) : nullptr;
    if (info == nullptr || info->maxOutputChannels < 1)
        throw NoAudioDeviceError();

    auto stream = std::make_unique<Stream>();
    stream->outChannels = std::min(sound.channels, info->maxOutputChannels);
    stream->sound = std::move(sound);
    PaStreamParameters out{};
    out.device = device;
    out.channelCount = stream->outChannels;
    out.sampleFormat = paFloat32;
    out.suggestedLatency = info->defaultHighOutputLatency;
    error = Pa_OpenStream(&stream->handle, nullptr, &out, stream->sound.rate,
                          paFramesPerBufferUnspecified, paClipOff, &Stream::Callback, stream.get());
    if (error != paNoError)
        throw AudioError(std::string("The audio device cannot play this sound: ") +
                         Pa_GetErrorText(error));
    m_stream = std::move(stream);
    error = Pa_StartStream(m_stream->handle);
    if (error != paNoError) {
        Close();
        throw AudioError(std::string("The audio device cannot start playing: ") +
                         Pa_GetErrorText(error));
    }
}

void AudioPlayer::Stop() { Close(); }

void AudioPlayer::Close() {
    if (!m_stream)
        return;
    if (m_stream->handle != nullptr) {
        Pa_AbortStream(m_stream->handle);
        Pa_CloseStream(m_stream->handle);
    }
    m_stream.reset();
}

bool AudioPlayer::IsPlaying() const {
    return m_stream && m_stream->handle != nullptr && Pa_IsStreamActive(m_stream->handle) == 1;
}

std::size_t AudioPlayer::FramesPlayed() const {
    return m_stream ? m_stream->position.load(std::memory_order_relaxed) : 0;
}

} // namespace sonivera
