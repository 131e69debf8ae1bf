#include "cli/ResponseInput.h"

#include "audio/AudioError.h"
#include "audio/ImpulseResponse.h"
#include "cli/ExitCodes.h"
#include "cli/Interrupt.h"
#include "cli/NumberText.h"
#include "cli/ProgressBar.h"
#include "cli/SceneInput.h"
#include "core/calc/SceneCheck.h"
#include "core/tracer/ComputeEffect.h"
#include "core/tracer/FineResponse.h"

#include <CLI/CLI.hpp>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iostream>

namespace sonivera {

namespace {

// The samples before the onset bin's start, which an onset asked for cuts off.
std::size_t OnsetSample(std::span<const double> bins, double groupTime, const OnsetChoice& onset,
                        int rate) {
    if (!onset.Given()) {
        return 0;
    }
    const auto bin = OnsetBin(bins, onset.Rule());
    if (!bin) {
        return 0;
    }
    return static_cast<std::size_t>(
        std::llround(static_cast<double>(*bin) * groupTime * static_cast<double>(rate) / 1000.0));
}

std::vector<float> FromScene(const ResponseInput& input, int rate) {
    if (input.groupTime.groupTime || !input.groupTime.scenePath.empty()) {
        throw CliFailure(kExitBadInput, input.path +
                                            " is a scene: it has its own grouping width, so "
                                            "--group-time and --scene do not apply");
    }
    const auto scene = LoadSceneOrFail(input.path);
    if (!input.noCheck) {
        if (const auto finding = FindFirstSceneError(scene->objects)) {
            throw CliFailure(kExitFinding, input.path + ": " + finding->message);
        }
    }
    FineResponseRequest fine;
    fine.rate = rate;
    EffectOptions options;
    options.threads = input.threads;
    options.cancel = &InstallInterruptFlag();
    options.fine = &fine;
    {
        TerminalProgressBar bar(stderr);
        try {
            ComputeEffect(*scene, &bar, options);
        } catch (const EffectCancelled&) {
            bar.Finish();
            throw CliFailure(kExitInterrupted, "Interrupted; no file was written.");
        } catch (const EffectParameterError& e) {
            bar.Finish();
            throw CliFailure(kExitBadInput, input.path + ": " + e.field() + ": " + e.what());
        }
    }
    const std::span<const double> bins(scene->effect.get(),
                                       static_cast<std::size_t>(scene->effectCount));
    const std::size_t from = std::min(
        fine.samples.size(), OnsetSample(bins, scene->effectParams.groupTime, input.onset, rate));
    try {
        return ImpulseResponseFromSamples(std::span<const double>(fine.samples).subspan(from));
    } catch (const AudioError& e) {
        throw CliFailure(kExitBadInput, input.path + ": " + e.what());
    }
}

std::vector<float> FromEffectFile(const ResponseInput& input, int rate) {
    const EffectInput effect = LoadEffectOrFail(input.path, input.groupTime);
    std::size_t from = 0;
    if (input.onset.Given()) {
        from = OnsetBin(effect.bins, input.onset.Rule()).value_or(0);
    }
    std::vector<float> response;
    try {
        response = ImpulseResponseFromBins(std::span<const double>(effect.bins).subspan(from),
                                           effect.groupTime, rate);
    } catch (const AudioError& e) {
        throw CliFailure(kExitBadInput,
                         input.path + " at " + std::to_string(rate) + " Hz: " + e.what());
    }
    std::cerr << "Note: a response made from an effect file is quantised to its grouping time ("
              << RoundTripText(effect.groupTime)
              << " ms): each bin is one pulse. Give the scene instead for every echo at its "
                 "own delay.\n";
    return response;
}

} // namespace

void AddResponseOptions(CLI::App& command, ResponseInput& input) {
    AddGroupTimeOptions(command, input.groupTime);
    AddOnsetOptions(command, input.onset, "the response (default: delay 0)");
    command.add_option("--threads", input.threads, "Worker threads for a scene (default: all)")
        ->check(CLI::Range(1, 1024))
        ->option_text("N");
    command.add_flag("--no-check", input.noCheck, "Calculate a scene without checking it first");
}

bool LooksLikeSceneFile(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        return false; // never opened here: a FIFO would block
    }
    std::ifstream file(path, std::ios::binary);
    char tag[6] = {};
    return file.read(tag, sizeof tag) && std::string(tag, sizeof tag) == std::string("\x05SCENE");
}

std::vector<float> LoadResponseOrFail(const ResponseInput& input, int rate) {
    return LooksLikeSceneFile(input.path) ? FromScene(input, rate) : FromEffectFile(input, rate);
}

} // namespace sonivera
