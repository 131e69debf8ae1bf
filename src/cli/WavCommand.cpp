// sonivera-cli wav EFFECT.e3d -o OUT.wav: the effect as an impulse response in a 32-bit float
// WAV file, bin i's value at sample round(i·g·rate/1000).
#include "audio/AudioError.h"
#include "audio/AudioLimits.h"
#include "cli/Command.h"
#include "cli/EffectInput.h"
#include "cli/ExitCodes.h"
#include "audio/ImpulseResponse.h"
#include "cli/SoundOutput.h"

#include <CLI/CLI.hpp>

#include <memory>

namespace sonivera {

namespace {

struct WavOptions {
    std::string effect;
    std::string output;
    int rate = 48000;
    GroupTimeSource groupTime;
};

int RunWav(const WavOptions& options) {
    if (!IsSupportedRate(options.rate))
        throw CliFailure(kExitBadInput, "--rate " + std::to_string(options.rate) +
                                            " Hz is outside " + std::to_string(kMinSampleRate) +
                                            "–" + std::to_string(kMaxSampleRate) + " Hz");
    RefuseOutputOverInputs(options.output, {options.effect, options.groupTime.scenePath});
    const EffectInput effect = LoadEffectOrFail(options.effect, options.groupTime);
    AudioBuffer response{options.rate, 1, {}};
    try {
        response.samples = ImpulseResponseFromBins(effect.bins, effect.groupTime, options.rate);
    } catch (const AudioError& e) {
        throw CliFailure(kExitBadInput, options.effect + ": " + e.what());
    }
    WarnIfAboveFullScale(response, "The values are the effect's own and are kept as they are.");
    WriteSoundOrFail(options.output, response);
    return kExitOk;
}

} // namespace

Command AddWavCommand(CLI::App& app) {
    auto options = std::make_shared<WavOptions>();
    CLI::App* sub = app.add_subcommand("wav", "Write an effect's impulse response as a WAV file");
    sub->add_option("EFFECT.e3d", options->effect, "The effect file")->required();
    sub->add_option("-o,--output", options->output, "The WAV file to write (32-bit float, mono)")
        ->required()
        ->option_text("OUT.wav");
    sub->add_option("--rate", options->rate, "Sample rate in hertz (default 48000)")
        ->option_text("HZ");
    AddGroupTimeOptions(*sub, options->groupTime);
    sub->footer("Bin i's value is placed at sample round(i*g*rate/1000), g the grouping width in "
                "ms; every other sample is 0. A rate at which two bins would fall on the same "
                "sample is refused. Rates from 8000 to 384000 Hz are accepted.");
    return {sub, [options] { return RunWav(*options); }};
}

} // namespace sonivera
