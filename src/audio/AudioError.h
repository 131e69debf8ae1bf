#pragma once

#include <stdexcept>
#include <string>

namespace sonivera {

// Sound that cannot be read, made or played. The message is the text shown to the user.
class AudioError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The machine has no audio output device to play on.
class NoAudioDeviceError : public AudioError {
public:
    explicit NoAudioDeviceError(const std::string& detail = {})
        : AudioError(detail.empty() ? "No audio output device is available."
                                    : "No audio output device is available (" + detail + ").") {}
};

} // namespace sonivera
