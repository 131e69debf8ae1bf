// The shard reader against forged shards: a made-up file whose digest and hashes are recomputed
// (they are checksums, not proof) must still be refused when any field is out of range or
// inconsistent, before anything is allocated for it; and a flipped bit anywhere is found.
#include "cli/map/MapShardFile.h"
#include "cli/map/MapShardMerge.h"
#include "core/model/SceneFile.h"
#include "core/version/ProgramVersion.h"
#include "support/RunCli.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdio>

namespace sonivera {

namespace {

using Json = nlohmann::json;

// FNV-1a 64, written here from its definition, so a forged digest does not come from the code
// under test.
std::string Digest(const std::string& text) {
    std::uint64_t h = 1469598103934665603ull;
    for (const unsigned char c : text) {
        h = (h ^ c) * 1099511628211ull;
    }
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(h));
    return hex;
}

MapShard SmallShard(std::size_t k, std::size_t n) {
    const auto scene = ReadSceneFile(DataFile("default.3d")); // 100 x 100 m
    MapShard s;
    s.program = kProgramVersion;
    s.shard = k;
    s.shards = n;
    s.scene = SaveSceneToBytes(*scene);
    s.sceneHash = ContentHash(s.scene);
    s.grid = MakeMapGrid(*scene, 20.0, 20.0); // 5 x 5 points
    s.onset = "first";
    s.figures = {"c50"};
    for (std::size_t i = k; i < s.grid.Count(); i += n) {
        s.points.push_back(i);
        s.results.push_back({});
    }
    return s;
}

// The shard's text with one header field replaced and the digest made to match again.
std::string Forged(const MapShard& shard, const std::string& key, const Json& value) {
    const std::string text = MapShardText(shard);
    const std::size_t headerEnd = text.find('\n');
    Json header = Json::parse(text.substr(0, headerEnd));
    header[key] = value;
    const std::size_t digestStart = text.rfind('\n', text.size() - 2) + 1;
    const std::string body = header.dump() + text.substr(headerEnd, digestStart - headerEnd);
    return body + Json{{"digest", Digest(body)}}.dump() + '\n';
}

std::string RefusalOf(const std::string& text) {
    try {
        ParseMapShard(text);
    } catch (const std::runtime_error& e) {
        return e.what();
    }
    return "accepted";
}

} // namespace

TEST(MapShardFile, ReadsBackWhatItWroteAndFindsAFlippedBitAnywhere) {
    const MapShard shard = SmallShard(1, 4);
    const std::string text = MapShardText(shard);
    const MapShard back = ParseMapShard(text);
    EXPECT_EQ(back.points, shard.points);
    EXPECT_EQ(back.grid, shard.grid);
    EXPECT_EQ(back.scene, shard.scene);
    // Every byte of the header and the points is covered (the last line holds the digest).
    const std::size_t covered = text.rfind('\n', text.size() - 2) + 1;
    for (std::size_t i = 0; i < covered; i += 7) {
        std::string damaged = text;
        damaged[i] ^= 2;
        EXPECT_NE(RefusalOf(damaged), "accepted") << "byte " << i;
    }
}

TEST(MapShardFile, ForgedFieldsAreRefusedEvenWithAMatchingDigest) {
    const MapShard shard = SmallShard(1, 4);
    const std::vector<std::pair<std::string, Json>> forgeries = {
        {"shards", Json(1e15)},
        {"shards", Json(-1)},
        {"shards", Json(1e+30)},
        {"shards", Json(0)},
        {"shard", Json(4)},
        {"shard", Json(2.5)},
        {"columns", Json(std::uint64_t{1} << 32)},
        {"rows", Json(std::uint64_t{1} << 33)},
        {"columns", Json(6)},
        {"stepX", Json(0.0)},
        {"stepX", Json(-2.0)},
        {"stepY", Json(1e-20)},
        {"width", Json(1e300)},
        {"height", Json("100")},
        {"points", Json(1000000)},
        {"sceneHash", Json("fnv1a64:0000000000000000")},
        {"formatVersion", Json(1)},
        {"format", Json("other")},
    };
    for (const auto& [key, value] : forgeries) {
        EXPECT_NE(RefusalOf(Forged(shard, key, value)), "accepted") << key << " = " << value;
    }
    // The forgery itself is sound: an unchanged field passes.
    EXPECT_EQ(RefusalOf(Forged(shard, "shards", Json(4))), "accepted");
}

TEST(MapShardFile, TheMergeNamesTheDamagedFileWhicheverComesFirst) {
    const std::string good = MapShardText(SmallShard(0, 2));
    std::string bad = MapShardText(SmallShard(1, 2));
    bad[bad.size() / 2] ^= 1;
    MapShardMerger merger;
    try {
        merger.Add("b.shard", bad);
        FAIL() << "accepted";
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(std::string(e.what()).rfind("b.shard: damaged", 0), 0u) << e.what();
    }
    merger.Add("a.shard", good);
    EXPECT_THROW(merger.Finish(), std::runtime_error);
}

} // namespace sonivera
