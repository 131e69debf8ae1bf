// sonivera-cli wav (SCENE.3d | EFFECT.e3d) -o OUT.wav: the impulse response as a 32-bit float
// WAV file: from a scene every echo at its own sample, from an effect file bin i's value at sample
// round(i·g·rate/1000).
#include "audio/AudioError.h"
#include "audio/AudioLimits.h"
#include "audio/Level.h"
#include "cli/Command.h"
#include "cli/ExitCodes.h"
#include "cli/ResponseInput.h"
#include "cli/SoundOutput.h"

#include <CLI/CLI.hpp>

#include <memory>

namespace sonivera {

namespace {

struct WavOptions {
    ResponseInput input;
    std::string output;
    int rate = 48000;
};

int RunWav(const WavOptions& options) {
    if (!IsSupportedRate(options.rate))
        throw CliFailure(kExitBadInput, "--rate " + std::to_string(options.rate) +
                                            " Hz is outside " + std::to_string(kMinSampleRate) +
                                            "–" + std::to_string(kMaxSampleRate) + " Hz");
    RefuseOutputOverInputs(options.output, {options.input.path, options.input.groupTime.scenePath});
    AudioBuffer response{options.rate, 1, LoadResponseOrFail(options.input, options.rate)};
    WarnIfAboveFullScale(PeakOf(response),
                         "The values are the effect's own and are kept as they are.");
    WriteSoundOrFail(options.output, response);
    return kExitOk;
}

} // namespace

Command AddWavCommand(CLI::App& app) {
    auto options = std::make_shared<WavOptions>();
    CLI::App* sub = app.add_subcommand("wav", "Write the impulse response as a WAV file");
    sub->add_option("SCENE.3d|EFFECT.e3d", options->input.path,
                    "A scene (traced: every echo at its own sample) or an effect file")
        ->required();
    sub->add_option("-o,--output", options->output, "The WAV file to write (32-bit float, mono)")
        ->required()
        ->option_text("OUT.wav");
    sub->add_option("--rate", options->rate, "Sample rate in hertz (default 48000)")
        ->option_text("HZ");
    AddResponseOptions(*sub, options->input);
    sub->footer("From a scene, the effect is calculated and every echo placed at the sample "
                "nearest its delay, with the amplitudes the effect's bins sum (divided by the same "
                "factor when the scene normalises); the response ends at its last echo. From an "
                "effect file, bin i's value is placed at sample round(i*g*rate/1000), g the "
                "grouping width in ms, and every other sample is 0: a pulse train on the grid of "
                "the grouping time (a note on stderr says so); a rate at which two bins would fall "
                "on the same sample is refused. Rates from 8000 to 384000 Hz are accepted.");
    return {sub, [options] { return RunWav(*options); }};
}

} // namespace sonivera
