// sonivera-cli map --shard and map-merge: shards merged in any order give the one-machine map's
// bytes; the scheduler's environment chooses the shard unless a flag does; every refusal of the
// merge; an interrupted shard leaves nothing.
#include "core/model/SceneFile.h"
#include "support/RunCli.h"
#include "support/TempDir.h"
#include "tracer/RandomScene.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <random>

namespace sonivera {

namespace {

std::vector<std::uint8_t> Bytes(const std::string& path) {
    return ReadBytes(path);
}

// Runs with these variables set in the environment the program inherits.
CliRun RunWithEnvironment(const std::vector<std::pair<std::string, std::string>>& variables,
                          const std::vector<std::string>& args) {
    for (const auto& [name, value] : variables) {
        setenv(name.c_str(), value.c_str(), 1);
    }
    const CliRun run = RunCli(args);
    for (const auto& [name, value] : variables) {
        unsetenv(name.c_str());
    }
    return run;
}

} // namespace

TEST(CliMapShard, ShardsMergedInAnyOrderGiveTheOneMachineBytes) {
    TempDir dir;
    std::mt19937 shuffle(7);
    for (const std::uint64_t seed : {3u, 11u}) {
        const std::string scene = dir.File("scene" + std::to_string(seed) + ".3d");
        WriteSceneFile(scene, *MakeRandomScene(seed, 5000));
        const std::vector<std::string> step = {"--step-x", "9", "--step-y", "11"};
        std::vector<std::string> whole = {"map",    scene,
                                          "--csv",  dir.File("one.csv"),
                                          "--json", dir.File("one.json"),
                                          "-o",     dir.File("one.png")};
        whole.insert(whole.end(), step.begin(), step.end());
        ASSERT_EQ(RunCli(whole).exitCode, 0);
        for (const int n : {1, 2, 3, 7}) {
            SCOPED_TRACE(::testing::Message() << "seed " << seed << ", " << n << " shards");
            std::vector<std::string> shards;
            for (int k = 0; k < n; ++k) {
                shards.push_back(dir.File("s" + std::to_string(k) + ".shard"));
                std::vector<std::string> args = {
                    "map", scene,        "--shard", std::to_string(k) + "/" + std::to_string(n),
                    "-o",  shards.back()};
                args.insert(args.end(), step.begin(), step.end());
                const CliRun run = RunCli(args);
                ASSERT_EQ(run.exitCode, 0) << run.err;
            }
            std::shuffle(shards.begin(), shards.end(), shuffle);
            std::vector<std::string> merge = {"map-merge"};
            merge.insert(merge.end(), shards.begin(), shards.end());
            for (const char* out : {"m.csv", "m.json", "m.png"}) {
                merge.push_back("-o");
                merge.push_back(dir.File(out));
            }
            const CliRun run = RunCli(merge);
            ASSERT_EQ(run.exitCode, 0) << run.err;
            EXPECT_EQ(Bytes(dir.File("m.csv")), Bytes(dir.File("one.csv")));
            EXPECT_EQ(Bytes(dir.File("m.json")), Bytes(dir.File("one.json")));
            EXPECT_EQ(Bytes(dir.File("m.png")), Bytes(dir.File("one.png")));
        }
    }
}

TEST(CliMapShard, AJobArraysTaskIsTheShardOfItsIndexAndAnAmbiguousArrayIsRefused) {
    TempDir dir;
    const std::string scene = DataFile("echoes.3d");
    const std::string out = dir.File("a.shard");
    const std::vector<std::string> map = {"map", scene, "--step", "25", "-o", out};
    const auto with = [&](std::vector<std::string> extra) {
        std::vector<std::string> args = map;
        args.insert(args.end(), extra.begin(), extra.end());
        return args;
    };
    const auto array = [](const char* id, const char* min, const char* max, const char* count,
                          const char* step = "1") {
        return std::vector<std::pair<std::string, std::string>>{
            {"SLURM_ARRAY_TASK_ID", id},     {"SLURM_ARRAY_TASK_MIN", min},
            {"SLURM_ARRAY_TASK_MAX", max},   {"SLURM_ARRAY_TASK_COUNT", count},
            {"SLURM_ARRAY_TASK_STEP", step}};
    };
    // The whole array 0-3: task 2 is shard 2 of 4.
    CliRun run = RunWithEnvironment(array("2", "0", "3", "4"), map);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.err.find("shard 2 of 4"), std::string::npos) << run.err;
    const auto written = Bytes(out);
    EXPECT_NE(std::string(written.begin(), written.end()).find("\"shard\":2"), std::string::npos);
    // A re-run of task 1 alone (`sbatch --array=1`): the count cannot come from the array.
    run = RunWithEnvironment(array("1", "1", "1", "1"), map);
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.err.find("--shards N"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("SLURM_ARRAY_TASK_MIN=1"), std::string::npos) << run.err;
    // With the count in the batch script it is shard 1 of 4, as in the first run.
    run = RunWithEnvironment(array("1", "1", "1", "1"), with({"--shards", "4"}));
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.err.find("shard 1 of 4"), std::string::npos) << run.err;
    // An array with a step (0-6:2) needs the count; with it, task 4 is shard 4 of 7.
    EXPECT_EQ(RunWithEnvironment(array("4", "0", "6", "4", "2"), map).exitCode, 2);
    run = RunWithEnvironment(array("4", "0", "6", "4", "2"), with({"--shards", "7"}));
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.err.find("shard 4 of 7"), std::string::npos) << run.err;
    // An array reaching beyond the count, a picture's name or the picture's options in a task.
    run = RunWithEnvironment(array("1", "0", "5", "6"), with({"--shards", "4"}));
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.err.find("tasks up to 5"), std::string::npos) << run.err;
    run = RunWithEnvironment(array("0", "0", "3", "4"),
                             {"map", scene, "--step", "25", "-o", dir.File("x.png")});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.err.find("names a picture"), std::string::npos) << run.err;
    EXPECT_FALSE(std::filesystem::exists(dir.File("x.png")));
    run = RunWithEnvironment(array("0", "0", "3", "4"), with({"--figure", "t30"}));
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.err.find("give them to map-merge"), std::string::npos) << run.err;
    // An indexed job needs the count; a flag wins over the environment.
    run = RunWithEnvironment({{"JOB_COMPLETION_INDEX", "1"}}, map);
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.err.find("--shards N"), std::string::npos) << run.err;
    run = RunWithEnvironment({{"JOB_COMPLETION_INDEX", "1"}}, with({"--shards", "3"}));
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.err.find("shard 1 of 3"), std::string::npos) << run.err;
    run = RunWithEnvironment(array("3", "0", "3", "4"), with({"--shard", "0/2"}));
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.err.find("shard 0 of 2 (counted from 0), from --shard 0/2"), std::string::npos);
    // A shard is written to its shard file only.
    EXPECT_EQ(RunCli({"map", scene, "--shard", "0/2", "--csv", dir.File("x.csv")}).exitCode, 2);
    EXPECT_EQ(RunCli({"map", scene, "--shard", "2/2", "-o", out}).exitCode, 2);
}

TEST(CliMapShard, MergeRefusesWhatIsNotOneCompleteMapNamingTheFile) {
    TempDir dir;
    const std::string scene = DataFile("echoes.3d");
    const auto shard = [&](const std::string& name, std::vector<std::string> extra) {
        std::vector<std::string> args = {"map", scene, "-o", dir.File(name)};
        args.insert(args.end(), extra.begin(), extra.end());
        if (std::find(extra.begin(), extra.end(), "--step") == extra.end()) {
            args.insert(args.end(), {"--step", "25"});
        }
        EXPECT_EQ(RunCli(args).exitCode, 0);
        return dir.File(name);
    };
    const std::string a0 = shard("a0", {"--shard", "0/2"});
    const std::string a1 = shard("a1", {"--shard", "1/2"});
    const std::string step = shard("step", {"--shard", "1/2", "--step", "20"});
    const std::string onset = shard("onset", {"--shard", "1/2", "--onset", "first"});
    const std::string three = shard("three", {"--shard", "1/3"});
    const std::string other = dir.File("other");
    ASSERT_EQ(
        RunCli({"map", DataFile("three-objects.3d"), "--step", "25", "--shard", "1/2", "-o", other})
            .exitCode,
        0);
    auto text = Bytes(a1);
    const std::string damaged = dir.File("damaged");
    text[text.size() / 2] ^= 1;
    WriteText(damaged, std::string(text.begin(), text.end()));
    const std::string cut = dir.File("cut");
    WriteText(cut, std::string(text.begin(), text.begin() + static_cast<long>(text.size() / 2)));
    const std::string out = dir.File("out.csv");
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{a0}, "shard(s) 1 of 2 (counted from 0) are missing"},
        {{a0, a0}, "shard 0 again"},
        {{a0, other}, other + ": a map of another scene"},
        {{a0, step}, step + ": a map of other steps"},
        {{a0, onset}, onset + ": a map of other figures or another onset"},
        {{a0, three}, three + ": one of 3 shards"},
        {{damaged, a0}, damaged + ": damaged"},
        {{a0, cut}, cut + ": damaged"},
        {{a0, DataFile("echoes.3d")}, "not a map shard"},
    };
    for (const auto& [inputs, message] : cases) {
        std::vector<std::string> args = {"map-merge"};
        args.insert(args.end(), inputs.begin(), inputs.end());
        args.push_back("-o");
        args.push_back(out);
        const CliRun run = RunCli(args);
        EXPECT_EQ(run.exitCode, 2) << message;
        EXPECT_NE(run.err.find(message), std::string::npos) << run.err;
        EXPECT_FALSE(std::filesystem::exists(out));
    }
    EXPECT_EQ(RunCli({"map-merge", a1, a0, "-o", out}).exitCode, 0);
}

TEST(CliMapShard, AnInterruptedShardLeavesNothing) {
    TempDir dir;
    const std::string scene = dir.File("big.3d");
    auto big = ReadSceneFile(SONIVERA_EXAMPLES_DIR "/hall.3d");
    big->params.rayCount = 2000;
    WriteSceneFile(scene, *big);
    bool sent = false;
    const CliRun run = RunCli({"map", scene, "--shard", "0/2", "-o", dir.File("s.shard")}, {},
                              [&](int pid) { sent = InterruptAfter(pid, 200); });
    ASSERT_TRUE(sent);
    EXPECT_EQ(run.exitCode, 130) << run.err;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
        EXPECT_EQ(entry.path().filename(), "big.3d");
    }
}

} // namespace sonivera
