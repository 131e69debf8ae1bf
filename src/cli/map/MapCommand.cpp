// sonivera-cli map SCENE.3d [--step M | --step-x M --step-y M] (--csv F | --json F | -o F.png|svg):
// the figures over a grid of listener positions, as a table and as a picture of the plan.
#include "cli/Command.h"
#include "cli/ExitCodes.h"
#include "cli/Interrupt.h"
#include "cli/OnsetOptions.h"
#include "cli/OutputFiles.h"
#include "cli/ProgressBar.h"
#include "cli/SceneInput.h"
#include "cli/map/MapFiles.h"
#include "cli/render/CairoPlot.h"
#include "core/map/MapJob.h"
#include "core/map/MapPicture.h"
#include "core/tracer/EffectErrors.h"
#include "core/tracer/TraceScene.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <filesystem>
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
    std::string csv, json, picture;
    std::string figure = "c50";
    int width = 900;
};

PlotFormat PictureFormat(const std::string& path) {
    std::string ext = std::filesystem::path(path).extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (ext == ".png") {
        return PlotFormat::Png;
    }
    if (ext == ".svg") {
        return PlotFormat::Svg;
    }
    throw CliFailure(kExitBadInput, path + ": the picture must end in .png or .svg");
}

MapGrid GridOrFail(const SceneSettings& scene, const MapCommandOptions& o) {
    const double sx = o.stepX.value_or(o.step.value_or(scene.gridX));
    const double sy = o.stepY.value_or(o.step.value_or(scene.gridY));
    try {
        return MakeMapGrid(scene, sx, sy);
    } catch (const std::invalid_argument& e) {
        throw CliFailure(kExitBadInput, e.what());
    }
}

// The map of one scene with a progress bar covering [from, to] of the whole.
std::vector<MapPointResult> MapOrFail(const SceneSettings& scene, const std::string& path,
                                      const MapGrid& grid, const MapCommandOptions& o,
                                      TerminalProgressBar& bar, int from, int to) {
    MapOptions options;
    options.threads = o.threads;
    options.cancel = &InstallInterruptFlag();
    options.onset = o.onset.Rule();
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

int RunMap(const MapCommandOptions& o) {
    if (o.csv.empty() && o.json.empty() && o.picture.empty()) {
        throw CliFailure(kExitBadInput, "give at least one output: --csv, --json or -o");
    }
    const auto figure = MapFigureNamed(o.figure);
    if (!figure) {
        throw CliFailure(kExitBadInput,
                         "--figure must be one of " + MapFigureNames() + ", not " + o.figure);
    }
    std::optional<PlotFormat> format;
    if (!o.picture.empty()) {
        format = PictureFormat(o.picture);
    }
    std::vector<std::string> inputs = {o.scene};
    if (!o.compare.empty()) {
        inputs.push_back(o.compare);
    }
    RefuseSameFilesOrFail(inputs, {o.csv, o.json, o.picture});
    const auto scene = LoadSceneOrFail(o.scene);
    std::unique_ptr<SceneSettings> other;
    if (!o.compare.empty()) {
        other = LoadSceneOrFail(o.compare);
        if (other->width != scene->width || other->height != scene->height) {
            throw CliFailure(kExitBadInput, o.compare + ": the scene's size differs from " +
                                                o.scene + "'s; a difference map needs one plan");
        }
    }
    const MapGrid grid = GridOrFail(*scene, o);

    MapTable table;
    table.grid = grid;
    {
        TerminalProgressBar bar(stderr);
        table.scene = MapOrFail(*scene, o.scene, grid, o, bar, 0, other ? 50 : 100);
        if (other) {
            table.difference = true;
            table.other = MapOrFail(*other, o.compare, grid, o, bar, 50, 100);
        }
        bar.Finish();
    }
    if (Interrupted()) {
        throw CliFailure(kExitInterrupted, "Interrupted; no file was written.");
    }

    std::vector<FileOutput> outputs;
    std::string csv, json;
    std::vector<std::uint8_t> picture;
    if (!o.csv.empty()) {
        csv = MapCsv(table);
        outputs.push_back({o.csv, TextBytes(csv)});
    }
    if (!o.json.empty()) {
        json = MapJson(table);
        outputs.push_back({o.json, TextBytes(json)});
    }
    if (format) {
        const MapField field = table.difference
                                   ? DifferenceOf(grid, table.scene, table.other, *figure)
                                   : FieldOf(grid, table.scene, *figure);
        const TraceScene plan = SnapshotScene(*scene);
        const int height = static_cast<int>(MapPictureHeight(grid, o.width));
        try {
            picture = RenderPicture(
                [&](PlotPort& port) { DrawMapPicture(port, plan, field, o.width, height); },
                o.width, height, *format);
        } catch (const std::runtime_error& e) {
            throw CliFailure(kExitWriteFailed, o.picture + ": " + e.what());
        }
        outputs.push_back({o.picture, picture});
    }
    WriteOutputsOrFail(outputs);
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
    sub->add_option("--csv", o->csv, "Write a row per point as CSV")->option_text("OUT.csv");
    sub->add_option("--json", o->json, "Write the points as JSON")->option_text("OUT.json");
    sub->add_option("-o,--output", o->picture, "Draw the plan under the colour field of one figure")
        ->option_text("OUT.png|OUT.svg");
    sub->add_option("--figure", o->figure,
                    "The figure the picture shows: " + MapFigureNames() + " (default c50)")
        ->option_text("NAME");
    sub->add_option("--width", o->width, "Picture width in pixels (default 900)")
        ->check(CLI::Range(300, 8000));
    sub->add_option("--compare", o->compare,
                    "A variant of the same plan: the outputs hold OTHER minus SCENE")
        ->option_text("OTHER.3d");
    sub->footer("The points are the centres of the grid's cells. At each the listener is moved "
                "there (in memory; no file changes), the scene check runs (a refused point gets "
                "the check's message) and the effect is computed and analysed as `analyze` does. "
                "The outputs are the same bytes for any --threads. Ctrl+C writes nothing (exit "
                "130).");
    return {sub, [o] { return RunMap(*o); }};
}

} // namespace sonivera
