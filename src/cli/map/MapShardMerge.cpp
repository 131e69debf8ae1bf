#include "cli/map/MapShardMerge.h"

#include "core/model/SceneFile.h"
#include "core/model/SceneFileError.h"
#include "core/version/ProgramVersion.h"

#include <stdexcept>

namespace sonivera {

namespace {

// What every shard of one map must share, in the words of a refusal.
void ExpectSame(const MapShard& a, const MapShard& b, const std::string& pathB,
                const std::string& pathA) {
    const auto refuse = [&](const std::string& what) {
        throw std::runtime_error(pathB + ": " + what + " than " + pathA);
    };
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

} // namespace

void MapShardMerger::Add(const std::string& name, std::string_view text) {
    MapShard shard;
    try {
        shard = ParseMapShard(text);
    } catch (const std::runtime_error& e) {
        throw std::runtime_error(name + ": " + e.what());
    }
    if (shard.program != kProgramVersion) {
        throw std::runtime_error(name + ": made by version " + shard.program +
                                 " of the program; this is " + kProgramVersion);
    }
    if (names_.empty()) {
        table_.grid = shard.grid;
        table_.difference = !shard.compareHash.empty();
        table_.scene.resize(table_.grid.Count());
        if (table_.difference) {
            table_.other.resize(table_.grid.Count());
        }
        try {
            scene_ = LoadSceneFromBytes(shard.scene, name);
        } catch (const SceneFileError& e) {
            throw std::runtime_error(name + ": damaged: the scene it holds does not read (" +
                                     (e.Detail().empty() ? e.what() : e.Detail()) + ")");
        }
    } else {
        ExpectSame(first_, shard, name, names_.front());
    }
    for (std::size_t i = 0; i < indexes_.size(); ++i) {
        if (indexes_[i] == shard.shard) {
            throw std::runtime_error(name + ": shard " + std::to_string(shard.shard) +
                                     " again (also " + names_[i] + ")");
        }
    }
    for (std::size_t i = 0; i < shard.points.size(); ++i) {
        table_.scene[shard.points[i]] = std::move(shard.results[i]);
        if (table_.difference) {
            table_.other[shard.points[i]] = std::move(shard.other[i]);
        }
    }
    names_.push_back(name);
    indexes_.push_back(shard.shard);
    if (names_.size() == 1) {
        shard.points.clear();
        shard.results.clear();
        shard.other.clear();
        shard.scene.clear();
        first_ = std::move(shard);
    }
}

MapTable MapShardMerger::Finish() {
    if (names_.empty()) {
        throw std::runtime_error("no shard was given");
    }
    const std::size_t n = first_.shards;
    std::vector<bool> present(n, false);
    for (const std::size_t k : indexes_) {
        present[k] = true;
    }
    std::string missing;
    for (std::size_t k = 0; k < n; ++k) {
        if (!present[k]) {
            missing += (missing.empty() ? "" : ", ") + std::to_string(k);
        }
    }
    if (!missing.empty()) {
        throw std::runtime_error("shard(s) " + missing + " of " + std::to_string(n) +
                                 " (counted from 0) are missing");
    }
    return std::move(table_);
}

} // namespace sonivera
