#pragma once

#include "audio/AudioBuffer.h"

#include <atomic>
#include <cstddef>
#include <functional>
#include <memory>

namespace sonivera {

// Plays a sound on the default audio output through PortAudio without blocking the caller: Play
// starts the stream and returns; PortAudio's own thread pulls the samples; Stop ends it at once.
// One sound at a time; a new Play stops the previous one. Not copyable.
class AudioPlayer {
public:
    // Chooses the output device: a PortAudio device index, or a negative number for none. The
    // default asks PortAudio for the default output device; tests supply their own.
    using DeviceChooser = std::function<int()>;

    AudioPlayer();
    explicit AudioPlayer(DeviceChooser chooser);
    ~AudioPlayer();
    AudioPlayer(const AudioPlayer&) = delete;
    AudioPlayer& operator=(const AudioPlayer&) = delete;

    // Starts playing the sound. Throws NoAudioDeviceError when the machine has no output device
    // (or the audio system cannot start), AudioError when the device refuses the stream.
    void Play(AudioBuffer sound);

    // Ends playing at once; nothing happens when nothing plays.
    void Stop();

    // True while the sound is still playing.
    bool IsPlaying() const;

    // The frames handed to the device so far.
    std::size_t FramesPlayed() const;

private:
    struct Stream;
    void Close();

    DeviceChooser m_chooser;
    std::unique_ptr<Stream> m_stream;
    bool m_initialised = false;
};

// Copies up to `frames` frames of `sound` from frame `position` into `out` (interleaved,
// `outChannels` per frame): source channel c goes to output channel c, channels beyond the
// output's are left out, missing ones are silent, and frames past the end are silence. Returns
// the frames taken from the sound. This is what the playback thread does for every block.
std::size_t FillPlaybackBlock(const AudioBuffer& sound, std::size_t position, float* out,
                              std::size_t frames, int outChannels);

} // namespace sonivera
