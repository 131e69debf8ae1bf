// sonivera-cli map-merge SHARD... -o OUT.csv|json|png|svg: the shards of one map, checked and put
// together into the same files the one-machine map writes.
#include "cli/Command.h"
#include "cli/ExitCodes.h"
#include "cli/OutputFiles.h"
#include "cli/SceneInput.h"
#include "cli/map/MapOutputs.h"
#include "cli/map/MapShardFile.h"
#include "core/model/SceneFile.h"
#include "core/version/ProgramVersion.h"

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

// What every shard of one map must share, in the words of a refusal.
void ExpectSame(const MapShard& a, const MapShard& b, const std::string& pathB,
                const std::string& pathA) {
    const auto refuse = [&](const std::string& what) {
        throw CliFailure(kExitBadInput, pathB + ": " + what + " than " + pathA);
    };
    if (a.program != b.program) {
        refuse("made by another version of the program (" + b.program + ")");
    }
    if (a.sceneHash != b.sceneHash || a.compareHash != b.compareHash) {
        refuse("a map of another scene");
    }
    if (!(a.grid == b.grid)) {
        refuse("a map of other steps");
    }
    if (a.onset != b.onset || a.figures != b.figures) {
        refuse("a map of other figures or another onset");
    }
    if (a.shards != b.shards) {
        refuse("one of " + std::to_string(b.shards) + " shards, not " + std::to_string(a.shards) +
               ", other");
    }
}

int RunMerge(const MapMergeOptions& o) {
    const MapOutputPaths paths = PathsOf(o.outputs);
    const auto figure = MapFigureNamed(o.figure);
    if (!figure) {
        throw CliFailure(kExitBadInput,
                         "--figure must be one of " + MapFigureNames() + ", not " + o.figure);
    }
    RefuseSameFilesOrFail(o.shards, {paths.csv, paths.json, paths.picture});

    std::vector<MapShard> shards;
    std::vector<std::string> pathOfShard;
    for (const std::string& path : o.shards) {
        MapShard shard;
        try {
            shard = ParseMapShard(ReadTextOrFail(path));
        } catch (const std::runtime_error& e) {
            if (dynamic_cast<const CliFailure*>(&e) != nullptr) {
                throw;
            }
            throw CliFailure(kExitBadInput, path + ": " + e.what());
        }
        if (shard.program != kProgramVersion) {
            throw CliFailure(kExitBadInput, path + ": made by version " + shard.program +
                                                " of the program; this is " + kProgramVersion);
        }
        if (!shards.empty()) {
            ExpectSame(shards.front(), shard, path, pathOfShard.front());
        }
        for (std::size_t i = 0; i < shards.size(); ++i) {
            if (shards[i].shard == shard.shard) {
                throw CliFailure(kExitBadInput, path + ": shard " + std::to_string(shard.shard) +
                                                    " again (also " + pathOfShard[i] + ")");
            }
        }
        if (shard.points != ShardPoints(shard.grid, shard.shard, shard.shards)) {
            throw CliFailure(kExitBadInput, path + ": damaged: its points are not those of shard " +
                                                std::to_string(shard.shard));
        }
        shards.push_back(std::move(shard));
        pathOfShard.push_back(path);
    }
    const std::size_t n = shards.front().shards;
    std::string missing;
    for (std::size_t k = 0; k < n; ++k) {
        if (std::none_of(shards.begin(), shards.end(),
                         [k](const MapShard& s) { return s.shard == k; })) {
            missing += (missing.empty() ? "" : ", ") + std::to_string(k);
        }
    }
    if (!missing.empty()) {
        throw CliFailure(kExitBadInput, "shard(s) " + missing + " of " + std::to_string(n) +
                                            " (counted from 0) are missing");
    }

    MapTable table;
    table.grid = shards.front().grid;
    table.difference = !shards.front().compareHash.empty();
    table.scene.resize(table.grid.Count());
    if (table.difference) {
        table.other.resize(table.grid.Count());
    }
    for (const MapShard& shard : shards) {
        for (std::size_t i = 0; i < shard.points.size(); ++i) {
            table.scene[shard.points[i]] = shard.results[i];
            if (table.difference) {
                table.other[shard.points[i]] = shard.other[i];
            }
        }
    }
    const auto scene = LoadSceneFromBytes(shards.front().scene, pathOfShard.front());
    WriteMapOutputsOrFail(table, *scene, *figure, o.width, paths);
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
