#pragma once

#include "cli/map/MapFiles.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sonivera {

// The most shards a map may be split into.
constexpr std::size_t kMaxMapShards = 100000;
// The largest shard file `map` writes and `map-merge` reads (a million points with the largest
// scene and a compared variant stay below it).
constexpr std::uint64_t kMaxShardFileBytes = std::uint64_t{1} << 30;

// One shard of a map as a file: what it is (the program's version, the scene's content hash and
// bytes, the compared scene's hash, the grid, the onset rule, the figures, K and N) and the
// results of its points (every N-th point from point K), with a digest of the whole text so that
// a damaged file is found.
struct MapShard {
    std::string program;
    std::size_t shard = 0;  // K, from 0
    std::size_t shards = 1; // N
    std::string sceneHash;
    std::vector<std::uint8_t> scene; // the scene file's bytes (to draw the plan)
    std::string compareHash;         // empty unless a difference map
    MapGrid grid;
    std::string onset; // "first", or the trigger in dB as text
    std::vector<std::string> figures;
    std::vector<std::size_t> points;
    std::vector<MapPointResult> results; // by position in `points`
    std::vector<MapPointResult> other;   // for a difference map
};

// The content hash of a file's bytes: "fnv1a64:" and 16 hex digits.
std::string ContentHash(const std::vector<std::uint8_t>& bytes);

std::string MapShardText(const MapShard& shard);
// Throws std::runtime_error saying what is wrong with a text that is not a complete shard: every
// field is checked for its kind and range, and the counts against each other and the file's
// lines, before anything is allocated for them.
MapShard ParseMapShard(std::string_view text);

} // namespace sonivera
