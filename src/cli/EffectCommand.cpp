// sonivera-cli effect SCENE.3d -o OUT.e3d: checks the scene, calculates its effect and writes
// the effect file (and, on request, a CSV table and the calculation's statistics).
#include "cli/Command.h"
#include "cli/ExitCodes.h"
#include "cli/Interrupt.h"
#include "cli/NumberText.h"
#include "cli/OutputFiles.h"
#include "cli/ProgressBar.h"
#include "cli/SceneInput.h"
#include "cli/json/PathsJson.h"
#include "core/calc/SceneCheck.h"
#include "core/tracer/ComputeEffect.h"
#include "core/tracer/EchoPath.h"
#include "core/tracer/EffectFile.h"
#include "core/tracer/EffectFinite.h"

#include <CLI/CLI.hpp>

#include <cstdio>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

namespace sonivera {

namespace {

struct EffectCommandOptions {
    std::string input;
    std::string output;
    std::string csv;
    std::string paths;
    std::size_t pathsPerSource = kDefaultPathsPerSource;
    int threads = 0;
    bool noCheck = false;
    bool stats = false;
};

// The bins as "bin,start_ms,amplitude" rows after a header line; the start of bin i is
// i × the grouping width the bins were computed with, in milliseconds.
std::string EffectCsv(const SceneSettings& scene) {
    std::string text = "bin,start_ms,amplitude\n";
    for (std::int32_t i = 0; i < scene.effectCount; ++i) {
        text += std::to_string(i) + ',' + RoundTripText(i * scene.effectParams.groupTime) + ',' +
                RoundTripText(scene.effect[static_cast<std::size_t>(i)]) + '\n';
    }
    return text;
}

// Six significant digits are plenty for timings.
std::string Short(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", v);
    return text;
}

void PrintStats(const TraceStats& stats) {
    const double rate =
        stats.seconds > 0.0 ? static_cast<double>(stats.nodes) / stats.seconds : 0.0;
    std::cout << "rays             " << stats.rays << '\n'
              << "nodes            " << stats.nodes << '\n'
              << "echoes           " << stats.echoes << '\n'
              << "searches         " << stats.searches << '\n'
              << "seconds          " << Short(stats.seconds) << '\n'
              << "nodes per second " << (stats.seconds > 0.0 ? Short(rate) : "-") << '\n';
}

[[noreturn]] void FailInterrupted() {
    throw CliFailure(kExitInterrupted, "Interrupted; no file was written.");
}

int RunEffect(const EffectCommandOptions& options) {
    RefuseSameFilesOrFail({options.input}, {options.output, options.csv, options.paths});
    const auto scene = LoadSceneOrFail(options.input);
    if (!options.noCheck) {
        if (const auto finding = FindFirstSceneError(scene->objects)) {
            throw CliFailure(kExitFinding, options.input + ": " + finding->message);
        }
    }

    TraceStats stats;
    EffectOptions effectOptions;
    effectOptions.threads = options.threads;
    effectOptions.cancel = &InstallInterruptFlag();
    effectOptions.stats = &stats;
    EchoPathRequest pathRequest;
    pathRequest.perSource = options.pathsPerSource;
    if (!options.paths.empty()) {
        effectOptions.paths = &pathRequest;
    }
    {
        TerminalProgressBar bar(stderr);
        try {
            ComputeEffect(*scene, &bar, effectOptions);
        } catch (const EffectCancelled&) {
            bar.Finish();
            FailInterrupted();
        } catch (const EffectParameterError& e) {
            bar.Finish();
            throw CliFailure(kExitBadInput, options.input + ": " + e.field() + ": " + e.what());
        } catch (const EffectMemoryError& e) {
            bar.Finish();
            throw CliFailure(kExitBadInput, options.input + ": " + e.what());
        }
    }
    if (Interrupted()) {
        FailInterrupted();
    }

    // Every output is prepared before any is written, and they are put into place together.
    std::vector<std::uint8_t> effectBytes;
    try {
        effectBytes = SaveEffectToBytes(*scene);
    } catch (const EffectNotFiniteError& e) {
        throw CliFailure(kExitBadInput, options.input + ": " + e.what());
    }
    std::vector<FileOutput> outputs = {{options.output, effectBytes}};
    std::string csv;
    if (!options.csv.empty()) {
        csv = EffectCsv(*scene);
        outputs.push_back({options.csv, TextBytes(csv)});
    }
    std::string pathsJson;
    if (!options.paths.empty()) {
        try {
            pathsJson = EchoPathsToJsonText(pathRequest.paths, pathRequest.perSource,
                                            &InstallInterruptFlag());
        } catch (const PathsJsonCancelled&) {
            FailInterrupted();
        }
        outputs.push_back({options.paths, TextBytes(pathsJson)});
    }
    // The statistics go out first: a standard output that cannot be written fails the command
    // before any file is replaced.
    if (options.stats) {
        PrintStats(stats);
        FlushStandardOutputOrFail();
    }
    WriteOutputsOrFail(outputs);
    return kExitOk;
}

} // namespace

Command AddEffectCommand(CLI::App& app) {
    auto options = std::make_shared<EffectCommandOptions>();
    CLI::App* sub = app.add_subcommand("effect", "Calculate the effect of a scene");
    sub->add_option("SCENE.3d", options->input, "The scene file")->required();
    sub->add_option("-o,--output", options->output, "The effect file to write")
        ->required()
        ->option_text("OUT.e3d");
    sub->add_option("--threads", options->threads, "Worker threads (default: all cores)")
        ->check(CLI::Range(1, 1024))
        ->option_text("N");
    sub->add_option("--csv", options->csv, "Also write the bins as bin,start_ms,amplitude rows")
        ->option_text("FILE");
    CLI::Option* paths =
        sub->add_option("--paths", options->paths,
                        "Also write the strongest echo paths of each source as JSON")
            ->option_text("PATHS.json");
    sub->add_option("--paths-per-source", options->pathsPerSource,
                    "How many paths to keep per source (default 200)")
        ->check(CLI::Range(std::size_t{0}, std::size_t{100000}))
        ->needs(paths)
        ->option_text("K");
    sub->add_flag("--no-check", options->noCheck, "Calculate without checking the scene first");
    sub->add_flag("--stats", options->stats,
                  "Print rays, nodes, echoes, searches, seconds and nodes per second");
    sub->footer("The scene is checked first: an error is printed and the exit code is 1. A "
                "progress bar is shown when standard error is a terminal. Ctrl+C stops the "
                "calculation or the writing without writing anything (exit code 130). The "
                "outputs are put into place together: exit code 3 means none was replaced. An "
                "effect that is not finite is not written (exit code 2). The result does not "
                "depend on the number of threads.");
    return {sub, [options] { return RunEffect(*options); }};
}

} // namespace sonivera
