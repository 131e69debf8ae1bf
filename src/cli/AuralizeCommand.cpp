// sonivera-cli auralize DRY.wav (SCENE.3d | EFFECT.e3d) -o OUT.wav: the dry sound as it would be
// heard with the effect: every channel convolved with the impulse response at the dry sound's
// rate (from a scene every echo at its own sample, from an effect file one pulse per bin).
#include "audio/AudioError.h"
#include "audio/AudioFile.h"
#include "audio/Convolution.h"
#include "audio/Level.h"
#include "cli/Command.h"
#include "cli/ExitCodes.h"
#include "cli/Interrupt.h"
#include "cli/ResponseInput.h"
#include "cli/SoundOutput.h"

#include <CLI/CLI.hpp>

#include <cmath>
#include <cstdio>
#include <memory>
#include <optional>

namespace sonivera {

namespace {

struct AuralizeOptions {
    std::string dry;
    ResponseInput input;
    std::string output;
    std::optional<double> gain;
    bool normalize = false;
};

constexpr double kMaxGainDb = 120.0;

int RunAuralize(const AuralizeOptions& options) {
    if (options.gain && !(std::fabs(*options.gain) <= kMaxGainDb))
        throw CliFailure(kExitBadInput, "--gain must be a number of decibels from -120 to 120");
    RefuseOutputOverInputs(options.output,
                           {options.dry, options.input.path, options.input.groupTime.scenePath});
    AudioBuffer dry;
    try {
        dry = ReadAudioFile(options.dry);
    } catch (const AudioError& e) {
        throw CliFailure(kExitBadInput, e.what());
    }
    if (dry.Frames() == 0)
        throw CliFailure(kExitBadInput, options.dry + ": the file holds no sound");

    const auto response = LoadResponseOrFail(options.input, dry.rate);
    AudioBuffer wet;
    try {
        wet = Convolve(dry, response, &InstallInterruptFlag());
        dry = AudioBuffer{}; // not needed any more: its memory goes before the file is encoded
    } catch (const ConvolutionCancelled&) {
        throw CliFailure(kExitInterrupted, "Interrupted; no file was written.");
    } catch (const AudioError& e) {
        throw CliFailure(kExitBadInput, options.input.path + " at " + std::to_string(dry.rate) +
                                            " Hz: " + e.what());
    }

    if (options.normalize) {
        NormalizeToFullScale(wet);
    } else if (options.gain) {
        ApplyGain(wet, DecibelsToFactor(*options.gain));
    }
    const double peak = PeakOf(wet); // one pass over the result serves both checks
    if (!std::isfinite(peak))
        throw CliFailure(kExitBadInput, "the result exceeds the range of float samples; lower "
                                        "--gain or use --normalize; no file was written");
    if (peak > 1.0) {
        // The gain that brings the peak just under full scale, counted from the one given.
        const double fix =
            std::floor(((options.gain ? *options.gain : 0.0) - PeakToDecibels(peak)) * 100.0) /
            100.0;
        char advice[96];
        std::snprintf(advice, sizeof advice, "Use --gain %.2f or --normalize.", fix);
        WarnIfAboveFullScale(peak, advice);
    }
    WriteSoundOrFail(options.output, wet);
    return kExitOk;
}

} // namespace

Command AddAuralizeCommand(CLI::App& app) {
    auto options = std::make_shared<AuralizeOptions>();
    CLI::App* sub =
        app.add_subcommand("auralize", "Apply an effect to a dry sound (FFT convolution)");
    sub->add_option("DRY", options->dry, "The dry sound (WAV, FLAC, AIFF, ...; any channels)")
        ->required();
    sub->add_option("SCENE.3d|EFFECT.e3d", options->input.path,
                    "A scene (traced: every echo at its own sample) or an effect file")
        ->required();
    sub->add_option("-o,--output", options->output, "The WAV file to write (32-bit float)")
        ->required()
        ->option_text("OUT.wav");
    auto* gain =
        sub->add_option("--gain", options->gain, "Gain applied to the result")->option_text("DB");
    auto* normalize =
        sub->add_flag("--normalize", options->normalize, "Bring the result's peak to full scale");
    gain->excludes(normalize);
    normalize->excludes(gain);
    AddResponseOptions(*sub, options->input);
    sub->footer("The impulse response is made at the dry sound's rate (see wav --help); each "
                "channel is "
                "convolved with it and the result keeps the whole tail (dry length + response "
                "length - 1 frames). A result above full scale is written as it is, with a "
                "warning giving its peak. Ctrl+C stops without writing anything (exit code 130).");
    return {sub, [options] { return RunAuralize(*options); }};
}

} // namespace sonivera
