// sonivera-cli map-merge SHARD... -o OUT.csv|json|png|svg: the shards of one map, checked and put
// together into the same files the one-machine map writes.
#include "cli/Command.h"
#include "cli/ExitCodes.h"
#include "cli/OutputFiles.h"
#include "cli/SceneInput.h"
#include "cli/map/MapOutputs.h"
#include "cli/map/MapShardMerge.h"
#include "core/model/SceneFile.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <filesystem>
#include <memory>

namespace sonivera {

namespace {

struct MapMergeOptions {
    std::vector<std::string> shards;
    std::vector<std::string> outputs;
    std::string figure = "c50";
    int width = 900;
};

MapOutputPaths PathsOf(const std::vector<std::string>& outputs) {
    MapOutputPaths paths;
    for (const std::string& out : outputs) {
        std::string ext = std::filesystem::path(out).extension().string();
        std::transform(ext.begin(), ext.end(), ext.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        std::string& slot = ext == ".csv" ? paths.csv : ext == ".json" ? paths.json : paths.picture;
        if (!slot.empty()) {
            throw CliFailure(kExitBadInput, out + ": two outputs of the same kind");
        }
        slot = out;
    }
    CheckMapPicturePathOrFail(paths.picture);
    return paths;
}

int RunMerge(const MapMergeOptions& o) {
    const MapOutputPaths paths = PathsOf(o.outputs);
    const auto figure = MapFigureNamed(o.figure);
    if (!figure) {
        throw CliFailure(kExitBadInput,
                         "--figure must be one of " + MapFigureNames() + ", not " + o.figure);
    }
    RefuseSameFilesOrFail(o.shards, {paths.csv, paths.json, paths.picture});

    MapShardMerger merger;
    MapTable table;
    try {
        for (const std::string& path : o.shards) {
            const std::vector<std::uint8_t> bytes = ReadBytesOrFail(path, kMaxShardFileBytes);
            merger.Add(path,
                       std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
        }
        table = merger.Finish();
    } catch (const CliFailure&) {
        throw;
    } catch (const std::runtime_error& e) {
        throw CliFailure(kExitBadInput, e.what());
    }
    CheckMapPictureSizeOrFail(paths.picture, table.grid, o.width);
    WriteMapOutputsOrFail(table, *merger.Scene(), *figure, o.width, paths);
    return kExitOk;
}

} // namespace

Command AddMapMergeCommand(CLI::App& app) {
    auto o = std::make_shared<MapMergeOptions>();
    CLI::App* sub =
        app.add_subcommand("map-merge", "Put the shards of a map together into its files");
    sub->add_option("SHARD", o->shards, "The shard files, in any order")->required();
    sub->add_option("-o,--output", o->outputs, "A file to write: .csv, .json, .png or .svg")
        ->required()
        ->option_text("OUT");
    sub->add_option("--figure", o->figure,
                    "The figure the picture shows: " + MapFigureNames() + " (default c50)")
        ->option_text("NAME");
    sub->add_option("--width", o->width, "Picture width in pixels (default 900)")
        ->check(CLI::Range(300, 8000));
    sub->footer("Refuses shards of different scenes, steps, figures or program versions, a "
                "missing or repeated shard and a damaged file, naming which; otherwise writes "
                "the same bytes as the one-machine map with the same options.");
    return {sub, [o] { return RunMerge(*o); }};
}

} // namespace sonivera
