// sonivera-cli effect --paths: the kept echo paths as JSON, written beside an unchanged effect
// file.
#include "cli/json/PathsJson.h"
#include "support/RunCli.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cmath>
#include <fstream>
#include <map>

namespace sonivera {

namespace {

nlohmann::json ReadJson(const std::string& path) {
    std::ifstream in(path);
    return nlohmann::json::parse(in);
}

// Written path by path, the text is byte for byte the one document's indented dump, and a stop
// ends it early.
TEST(CliPaths, TheTextIsTheDocumentsDumpAndStopsWhenAsked) {
    std::vector<EchoPath> paths;
    for (int i = 0; i < 600; ++i) {
        EchoPath path;
        path.points = {{0.5 * i, -1e-7}, {1.0 / 3.0, 2e300}};
        if (i % 7 == 0) {
            path.points.clear();
        }
        path.delay = 0.001 * i;
        path.amplitude = 1.0 / (i + 1);
        path.bin = i;
        path.source = i % 3;
        path.reflections = i % 5;
        path.passages = i % 2;
        path.ray = i - 1;
        paths.push_back(path);
    }
    using Json = nlohmann::ordered_json;
    auto document = [](const std::vector<EchoPath>& list) {
        Json items = Json::array();
        for (const EchoPath& p : list) {
            Json points = Json::array();
            for (const PathPoint& q : p.points) {
                points.push_back(Json::array({q.x, q.y}));
            }
            Json item;
            item["source"] = p.source;
            item["ray"] = p.ray;
            item["bin"] = p.bin;
            item["delay_s"] = p.delay;
            item["amplitude"] = p.amplitude;
            item["level_db"] = 20.0 * std::log10(p.amplitude);
            item["reflections"] = p.reflections;
            item["passages"] = p.passages;
            item["points"] = std::move(points);
            items.push_back(std::move(item));
        }
        Json root;
        root["paths_per_source"] = 7;
        root["paths"] = std::move(items);
        return root.dump(1) + '\n';
    };
    EXPECT_EQ(EchoPathsToJsonText(paths, 7), document(paths));
    EXPECT_EQ(EchoPathsToJsonText({}, 7), document({}));
    const std::atomic<bool> stop{true};
    EXPECT_THROW(EchoPathsToJsonText(paths, 7, &stop), PathsJsonCancelled);
}

TEST(CliPaths, WritesTheKeptPathsAndTheSameEffect) {
    TempDir dir;
    const std::string plain = dir.File("plain.e3d");
    const std::string withPaths = dir.File("paths.e3d");
    const std::string json = dir.File("paths.json");
    ASSERT_EQ(RunCli({"effect", DataFile("echoes.3d"), "-o", plain}).exitCode, 0);
    const CliRun run = RunCli({"effect", DataFile("echoes.3d"), "-o", withPaths, "--paths", json,
                               "--paths-per-source", "5", "--threads", "2"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(ReadBytes(withPaths), ReadBytes(plain));

    const nlohmann::json doc = ReadJson(json);
    EXPECT_EQ(doc["paths_per_source"], 5);
    const auto& paths = doc["paths"];
    ASSERT_FALSE(paths.empty());
    std::map<int, int> perSource;
    double previous = 2.0;
    int previousSource = -1;
    for (const auto& p : paths) {
        const int source = p["source"];
        EXPECT_LE(++perSource[source], 5);
        const double amplitude = p["amplitude"];
        if (source == previousSource) {
            EXPECT_LE(amplitude, previous); // the strongest first within a source
        }
        previous = amplitude;
        previousSource = source;
        ASSERT_GE(p["points"].size(), 2u);
        for (const auto& point : p["points"]) {
            ASSERT_EQ(point.size(), 2u);
        }
        EXPECT_GE(p["delay_s"].get<double>(), 0.0);
        for (const char* key : {"ray", "bin", "level_db", "reflections", "passages"}) {
            EXPECT_TRUE(p.contains(key)) << key;
        }
    }

    ASSERT_EQ(RunCli({"effect", DataFile("echoes.3d"), "-o", withPaths, "--paths", json,
                      "--paths-per-source", "0"})
                  .exitCode,
              0);
    EXPECT_TRUE(ReadJson(json)["paths"].empty());
}

TEST(CliPaths, PathsPerSourceNeedsPaths) {
    TempDir dir;
    const CliRun run = RunCli(
        {"effect", DataFile("echoes.3d"), "-o", dir.File("out.e3d"), "--paths-per-source", "3"});
    EXPECT_NE(run.exitCode, 0);
    EXPECT_NE(run.err.find("--paths"), std::string::npos) << run.err;
}

} // namespace

} // namespace sonivera
