#pragma once

#include "cli/map/MapFiles.h"
#include "cli/map/MapShardFile.h"

#include "core/model/SceneSettings.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace sonivera {

// Puts the shards of one map together, one file at a time so that only one shard's text is held.
// Every refusal is a std::runtime_error whose message begins with the name of the file at fault:
// a damaged file, one of another program version, scene, grid, onset, figure list or shard count
// than the first, a shard given twice, and (from Finish) the shards missing.
class MapShardMerger {
public:
    void Add(const std::string& name, std::string_view text);
    // The whole map. Throws when a shard is missing or none was added.
    MapTable Finish();
    // The first shard's scene (to draw the plan); null before a shard was added.
    const SceneSettings* Scene() const { return scene_.get(); }

private:
    MapShard first_; // its header; its points are moved into the table
    std::vector<std::string> names_;
    std::vector<std::size_t> indexes_;
    std::unique_ptr<SceneSettings> scene_;
    MapTable table_;
};

} // namespace sonivera
