// sonivera-cli map SCENE.3d [--step M | --step-x M --step-y M] (--csv F | --json F | -o F.png|svg):
// the figures over a grid of listener positions, as a table and as a picture of the plan; with
// --shard K/N (or a batch scheduler's environment) only every N-th point, into a shard file.
#include "cli/Command.h"
#include "cli/ExitCodes.h"
#include "cli/Interrupt.h"
#include "cli/NumberText.h"
#include "cli/OnsetOptions.h"
#include "cli/OutputFiles.h"
#include "cli/ProgressBar.h"
#include "cli/SceneInput.h"
#include "cli/map/MapOutputs.h"
#include "cli/map/MapShardChoice.h"
#include "cli/map/MapShardFile.h"
#include "core/map/MapJob.h"
#include "core/model/SceneFile.h"
#include "core/tracer/EffectErrors.h"
#include "core/version/ProgramVersion.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <initializer_list>
#include <iostream>
#include <memory>
#include <optional>

namespace sonivera {

namespace {

struct MapCommandOptions {
    std::string scene;
    std::string compare;
    std::optional<double> step, stepX, stepY;
    int threads = 0;
    OnsetChoice onset;
    MapOutputPaths outputs;
    std::optional<std::string> figure; // default c50
    std::optional<int> width;          // default 900
    std::string shard;
    std::optional<std::size_t> shards;
};

MapGrid GridOrFail(const SceneSettings& scene, const MapCommandOptions& o) {
    const double sx = o.stepX.value_or(o.step.value_or(scene.gridX));
    const double sy = o.stepY.value_or(o.step.value_or(scene.gridY));
    try {
        return MakeMapGrid(scene, sx, sy);
    } catch (const std::invalid_argument& e) {
        throw CliFailure(kExitBadInput, e.what());
    }
}

// The map of one scene at the points asked for, with a progress bar covering [from, to].
std::vector<MapPointResult> MapOrFail(const SceneSettings& scene, const std::string& path,
                                      const MapGrid& grid, const MapCommandOptions& o,
                                      const std::vector<std::size_t>& points,
                                      TerminalProgressBar& bar, int from, int to) {
    MapOptions options;
    options.threads = o.threads;
    options.cancel = &InstallInterruptFlag();
    options.onset = o.onset.Rule();
    options.order = points;
    options.progress = [&](std::size_t done, std::size_t total) {
        bar.SetPosition(from +
                        static_cast<int>((to - from) * done / std::max<std::size_t>(total, 1)));
    };
    try {
        return ComputeMap(scene, grid, options);
    } catch (const EffectCancelled&) {
        bar.Finish();
        throw CliFailure(kExitInterrupted, "Interrupted; no file was written.");
    } catch (const EffectParameterError& e) {
        bar.Finish();
        throw CliFailure(kExitBadInput, path + ": " + e.field() + ": " + e.what());
    }
}

bool EndsIn(const std::string& path, std::initializer_list<const char*> extensions) {
    std::string ext = std::filesystem::path(path).extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return std::find(extensions.begin(), extensions.end(), ext) != extensions.end();
}

// A shard writes its shard file and nothing else; what only a whole map has is refused, not
// silently dropped (inside a job array a run meant as a whole map would otherwise write a shard
// under a picture's name).
void CheckShardOutputsOrFail(const MapCommandOptions& o, const ShardChoice& shard) {
    const std::string from = "this run is shard " + std::to_string(shard.k) + " of " +
                             std::to_string(shard.n) + " (" + shard.source + ")";
    if (!o.outputs.csv.empty() || !o.outputs.json.empty() || o.outputs.picture.empty()) {
        throw CliFailure(kExitBadInput, from + ": a shard is written to one file, its shard "
                                               "file (-o FILE); merge the shards with map-merge");
    }
    if (EndsIn(o.outputs.picture, {".png", ".svg", ".csv", ".json"})) {
        throw CliFailure(kExitBadInput,
                         from + ": -o " + o.outputs.picture +
                             " names a picture or a table, but a shard writes a shard file; "
                             "name it NAME.shard and make the pictures with map-merge, or give "
                             "--shard 0/1 for the whole map in one run");
    }
    if (o.figure || o.width) {
        throw CliFailure(kExitBadInput, from + ": --figure and --width belong to the picture, "
                                               "which map-merge draws; give them to map-merge");
    }
}

std::string OnsetText(const OnsetChoice& onset) {
    const OnsetRule rule = onset.Rule();
    return rule.firstEnergy ? std::string("first") : RoundTripText(rule.triggerDb);
}

// The variant of a difference map (--compare), or none; it must have the same plan size.
std::unique_ptr<SceneSettings> ComparedOrFail(const MapCommandOptions& o,
                                              const SceneSettings& scene) {
    if (o.compare.empty()) {
        return nullptr;
    }
    auto other = LoadSceneOrFail(o.compare);
    if (other->width != scene.width || other->height != scene.height) {
        throw CliFailure(kExitBadInput, o.compare + ": the scene's size differs from " + o.scene +
                                            "'s; a difference map needs one plan");
    }
    return other;
}

// The shard file of this run's points: what it is, and their results moved out of the table.
void WriteShardOrFail(const MapCommandOptions& o, const ShardChoice& shard,
                      const SceneSettings& scene, const SceneSettings* other, const MapGrid& grid,
                      const std::vector<std::size_t>& points, MapTable& table) {
    MapShard file;
    file.program = kProgramVersion;
    file.shard = shard.k;
    file.shards = shard.n;
    file.scene = SaveSceneToBytes(scene);
    file.sceneHash = ContentHash(file.scene);
    if (other) {
        file.compareHash = ContentHash(SaveSceneToBytes(*other));
    }
    file.grid = grid;
    file.onset = OnsetText(o.onset);
    for (const MapFigureInfo& info : MapFigures()) {
        file.figures.push_back(info.name);
    }
    file.points = points;
    // Moved, not copied: a million points' results are hundreds of megabytes.
    for (const std::size_t index : points) {
        file.results.push_back(std::move(table.scene[index]));
        if (other) {
            file.other.push_back(std::move(table.other[index]));
        }
    }
    table = MapTable();
    const std::string text = MapShardText(file);
    if (text.size() > kMaxShardFileBytes) {
        throw CliFailure(kExitBadInput,
                         "this shard would take " + std::to_string(text.size() >> 20) +
                             " MiB, more than map-merge reads (" +
                             std::to_string(kMaxShardFileBytes >> 20) +
                             " MiB); split the map into more shards. Nothing was written.");
    }
    WriteOutputsOrFail(std::vector<FileOutput>{{o.outputs.picture, TextBytes(text)}});
}

int RunMap(const MapCommandOptions& o) {
    const auto shard =
        ChooseShard(o.shard, o.shards, [](const char* name) { return std::getenv(name); });
    if (shard) {
        CheckShardOutputsOrFail(o, *shard);
        std::cerr << "map: shard " << shard->k << " of " << shard->n << " (counted from 0), from "
                  << shard->source << '\n';
    } else if (o.outputs.csv.empty() && o.outputs.json.empty() && o.outputs.picture.empty()) {
        throw CliFailure(kExitBadInput, "give at least one output: --csv, --json or -o");
    }
    const std::string figureName = o.figure.value_or("c50");
    const auto figure = MapFigureNamed(figureName);
    if (!figure) {
        throw CliFailure(kExitBadInput,
                         "--figure must be one of " + MapFigureNames() + ", not " + figureName);
    }
    if (!shard) {
        CheckMapPicturePathOrFail(o.outputs.picture);
    }
    std::vector<std::string> inputs = {o.scene};
    if (!o.compare.empty()) {
        inputs.push_back(o.compare);
    }
    RefuseSameFilesOrFail(inputs, {o.outputs.csv, o.outputs.json, o.outputs.picture});
    const auto scene = LoadSceneOrFail(o.scene);
    const std::unique_ptr<SceneSettings> other = ComparedOrFail(o, *scene);
    const MapGrid grid = GridOrFail(*scene, o);
    if (!shard) {
        CheckMapPictureSizeOrFail(o.outputs.picture, grid, o.width.value_or(900));
    }
    const std::vector<std::size_t> points =
        shard ? ShardPoints(grid, shard->k, shard->n) : std::vector<std::size_t>{};

    MapTable table;
    table.grid = grid;
    {
        TerminalProgressBar bar(stderr);
        table.scene = MapOrFail(*scene, o.scene, grid, o, points, bar, 0, other ? 50 : 100);
        if (other) {
            table.difference = true;
            table.other = MapOrFail(*other, o.compare, grid, o, points, bar, 50, 100);
        }
        bar.Finish();
    }
    if (Interrupted()) {
        throw CliFailure(kExitInterrupted, "Interrupted; no file was written.");
    }
    if (!shard) {
        const MapCoverage coverage = CoverageOf(table.scene);
        if (coverage.computed == 0) {
            std::cerr << "map: note: the scene check refused every point; the map holds no "
                         "values\n";
        } else if (coverage.reached == 0) {
            std::cerr << "map: note: no sound reaches any point (has the scene a source?); the "
                         "map holds no values\n";
        }
        WriteMapOutputsOrFail(table, *scene, *figure, o.width.value_or(900), o.outputs);
        return kExitOk;
    }
    WriteShardOrFail(o, *shard, *scene, other.get(), grid, points, table);
    return kExitOk;
}

} // namespace

Command AddMapCommand(CLI::App& app) {
    auto o = std::make_shared<MapCommandOptions>();
    CLI::App* sub = app.add_subcommand("map", "Map the figures over a grid of listener positions");
    sub->add_option("SCENE.3d", o->scene, "The scene file")->required();
    auto* step =
        sub->add_option("--step", o->step, "Grid step in metres (default: the scene's grid)")
            ->option_text("M");
    auto* sx = sub->add_option("--step-x", o->stepX, "Step along x in metres")->option_text("M");
    auto* sy = sub->add_option("--step-y", o->stepY, "Step along y in metres")->option_text("M");
    step->excludes(sx)->excludes(sy);
    sub->add_option("--threads", o->threads, "Worker threads (default: all cores)")
        ->check(CLI::Range(1, 1024))
        ->option_text("N");
    AddOnsetOptions(*sub, o->onset, "every point's figures");
    sub->add_option("--csv", o->outputs.csv, "Write a row per point as CSV")
        ->option_text("OUT.csv");
    sub->add_option("--json", o->outputs.json, "Write the points as JSON")->option_text("OUT.json");
    sub->add_option("-o,--output", o->outputs.picture,
                    "Draw the plan under the colour field of one figure (with a shard: the "
                    "shard file)")
        ->option_text("OUT.png|OUT.svg|SHARD");
    sub->add_option("--figure", o->figure,
                    "The figure the picture shows: " + MapFigureNames() + " (default c50)")
        ->option_text("NAME");
    sub->add_option("--width", o->width, "Picture width in pixels (default 900)")
        ->check(CLI::Range(300, 8000));
    sub->add_option("--compare", o->compare,
                    "A variant of the same plan: the outputs hold OTHER minus SCENE")
        ->option_text("OTHER.3d");
    sub->add_option("--shard", o->shard,
                    "Compute only shard K of N (every N-th point from point K, K from 0) into "
                    "the shard file -o; see map-merge")
        ->option_text("K/N");
    sub->add_option("--shards", o->shards,
                    "The number of shards when the index comes from the environment (needed "
                    "with JOB_COMPLETION_INDEX, and with a job array that is not 0..N-1)")
        ->option_text("N");
    sub->footer("The points are the centres of the grid's cells. At each the listener is moved "
                "there (in memory; no file changes), the scene check runs (a refused point gets "
                "the check's message) and the effect is computed and analysed as `analyze` does. "
                "The outputs are the same bytes for any --threads. Without --shard, a job array's "
                "SLURM_ARRAY_TASK_ID (the shard's index; the count from --shards N or from an "
                "array declared as 0..N-1) or an indexed job's JOB_COMPLETION_INDEX (with "
                "--shards N) make this run a shard; stderr says which. Ctrl+C writes nothing "
                "(exit 130).");
    return {sub, [o] { return RunMap(*o); }};
}

} // namespace sonivera
