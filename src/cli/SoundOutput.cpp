#include "cli/SoundOutput.h"

#include "audio/AudioError.h"
#include "audio/AudioFile.h"
#include "cli/ExitCodes.h"
#include "audio/Level.h"
#include "cli/OutputFiles.h"

#include <cmath>
#include <cstdio>
#include <iostream>

namespace sonivera {

void RefuseOutputOverInputs(const std::string& output, const std::vector<std::string>& inputs) {
    std::vector<std::string> given;
    for (const std::string& input : inputs) {
        if (!input.empty())
            given.push_back(input);
    }
    RefuseSameFilesOrFail(given, {output});
}

void WriteSoundOrFail(const std::string& output, const AudioBuffer& sound) {
    std::vector<std::uint8_t> bytes;
    try {
        bytes = EncodeFloatWav(sound);
    } catch (const AudioError& e) {
        throw CliFailure(kExitWriteFailed, output + ": " + e.what());
    }
    WriteBytesOrFail(output, bytes);
}

void WarnIfAboveFullScale(double peak, const std::string& advice) {
    if (peak <= 1.0)
        return;
    char text[160];
    std::snprintf(text, sizeof text,
                  "warning: the sound peaks at %.6g (%+.2f dBFS), above full scale; players will "
                  "clip it (%.2f dB would bring it to full scale).",
                  peak, PeakToDecibels(peak), -PeakToDecibels(peak));
    std::cerr << "sonivera-cli: " << text;
    if (!advice.empty())
        std::cerr << ' ' << advice;
    std::cerr << '\n';
}

} // namespace sonivera
