// Every command that writes files, run from a current folder nobody may write, as an ordinary
// user: each writes its outputs to the folder they name and nothing else matters.
#include "support/RunCli.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace sonivera {

namespace fs = std::filesystem;

TEST(CliReadOnlyFolder, EveryWritingCommandWorksFromAFolderItMayNotWrite) {
    TempDir top;
    // The outputs' folder is open to the unprivileged user; the current folder is read-only.
    fs::permissions(top.Path(), fs::perms::all);
    const fs::path out = top.Path() / "out";
    const fs::path here = top.Path() / "here";
    fs::create_directory(out);
    fs::create_directory(here);
    fs::permissions(out, fs::perms::all);
    fs::copy_file(SONIVERA_EXAMPLES_DIR "/room.3d", out / "room.3d");
    fs::copy_file(SONIVERA_EXAMPLES_DIR "/click-chirp.wav", out / "dry.wav");
    fs::copy_file(DataFile("echoes.json"), out / "echoes.json");
    for (const auto& entry : fs::directory_iterator(out)) {
        fs::permissions(entry.path(), fs::perms(0644));
    }
    fs::permissions(here, fs::perms(0555));
    const auto at = [&](const char* name) { return (out / name).string(); };
    const std::string room = at("room.3d");
    const std::vector<std::vector<std::string>> commands = {
        {"new", at("new.3d")},
        {"build", at("echoes.json"), "-o", at("built.3d")},
        {"effect", room, "-o", at("room.e3d")},
        {"effect", room, "-o", at("room2.e3d"), "--csv", at("room.csv")},
        {"plot", at("room.e3d"), "--scene", room, "-o", at("room.png")},
        {"wav", room, "-o", at("room.wav")},
        {"auralize", at("dry.wav"), room, "-o", at("wet.wav")},
        {"map", room, "--step", "2", "--csv", at("map.csv")},
        {"map", room, "--step", "2", "--shard", "0/1", "-o", at("map.shard")},
        {"map-merge", at("map.shard"), "-o", at("merged.csv")},
    };
    for (const auto& args : commands) {
        SCOPED_TRACE(args.front() + " " + args.back());
        const CliRun run = RunCliIn({here.string(), true}, args);
        EXPECT_EQ(run.exitCode, 0) << run.err;
        EXPECT_TRUE(fs::exists(args.back()));
    }
    EXPECT_TRUE(fs::is_empty(here));
    fs::permissions(here, fs::perms::owner_all);
}

} // namespace sonivera
