// Feeds arbitrary bytes to the sound-file decoder every dry sound goes through (WAV, FLAC, AIFF
// and what else the sound library reads). Every input must either be refused with the audio
// error or give a sound within the limits: a supported rate, 1 to kMaxChannels channels, whole
// frames, every sample finite.
#include "audio/AudioError.h"
#include "audio/AudioFile.h"
#include "audio/AudioLimits.h"

#include <cmath>
#include <cstdlib>

using namespace sonivera;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    AudioBuffer sound;
    try {
        sound = DecodeAudio({data, size}, "fuzz");
    } catch (const AudioError&) {
        return 0;
    }
    if (!IsSupportedRate(sound.rate) || sound.channels < 1 || sound.channels > kMaxChannels ||
        sound.samples.size() % static_cast<std::size_t>(sound.channels) != 0 ||
        sound.samples.size() > kMaxSamples) {
        std::abort();
    }
    for (const float sample : sound.samples) {
        if (!std::isfinite(sample)) {
            std::abort();
        }
    }
    return 0;
}
