// sonivera-cli import: the exit status says whether anything was left out, the report names it,
// the JSON form builds the same scene, and a drawing that cannot be taken writes nothing.
#include "support/RunCli.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace sonivera {

TEST(CliImport, TheExampleFlatImportsWithItsReportAndTheExitStatusSaysWhatWasLeft) {
    TempDir dir;
    const std::string plan = SONIVERA_EXAMPLES_DIR "/apartment.dxf";
    const std::string scene = dir.File("flat.3d");
    CliRun run = RunCli({"import", plan, "-o", scene});
    EXPECT_EQ(run.exitCode, 4) << run.err;
    EXPECT_NE(run.out.find("units: millimetres ($INSUNITS 4)"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("1 × arc, layer DOORS"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("2 × TEXT, layer TEXT"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("4 entities were left out"), std::string::npos) << run.out;
    EXPECT_EQ(RunCli({"check", scene}).exitCode, 0);

    // Only the layers asked for: nothing of those is left, so the status is 0.
    run = RunCli({"import", plan, "--layers", "WALLS,COLUMNS", "-o", scene});
    EXPECT_EQ(run.exitCode, 0) << run.out << run.err;
    EXPECT_NE(run.out.find("on a layer not taken"), std::string::npos) << run.out;

    // The JSON form builds the same scene file.
    run = RunCli({"import", plan, "--json", "-o", dir.File("flat.json")});
    EXPECT_EQ(run.exitCode, 4) << run.err;
    ASSERT_EQ(RunCli({"build", dir.File("flat.json"), "-o", dir.File("built.3d")}).exitCode, 0);
    RunCli({"import", plan, "-o", scene});
    EXPECT_EQ(ReadBytes(dir.File("built.3d")), ReadBytes(scene));

    // A layer map gives the walls their material.
    WriteText(dir.File("map.json"), R"({"WALLS": {"reflection": 0.25, "absorption": 3}})");
    run = RunCli({"import", plan, "--layer-map", dir.File("map.json"), "--json", "-o",
                  dir.File("mapped.json")});
    const auto text = ReadBytes(dir.File("mapped.json"));
    EXPECT_NE(std::string(text.begin(), text.end()).find("\"m_reflection\": 0.25"),
              std::string::npos);
}

TEST(CliImport, WhatCannotBeTakenIsRefusedAndWritesNothing) {
    TempDir dir;
    const std::string out = dir.File("x.3d");
    const std::string plan = SONIVERA_EXAMPLES_DIR "/apartment.dxf";
    WriteText(dir.File("empty.dxf"), "0\nSECTION\n2\nENTITIES\n0\nENDSEC\n0\nEOF\n");
    WriteText(dir.File("bad-map.json"), R"({"WALLS": {"reflection": 2}})");
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"import", DataFile("room.3d"), "-o", out}, "not a DXF drawing"},
        {{"import", dir.File("empty.dxf"), "-o", out}, "nothing in the drawing could be taken"},
        {{"import", plan, "--units", "furlong", "-o", out}, "--units must be one of"},
        {{"import", plan, "--units", "mm", "--scale", "2", "-o", out}, "not both"},
        {{"import", plan, "--layer-map", dir.File("bad-map.json"), "-o", out}, "out of range"},
        {{"import", plan, "-o", plan}, "same file"},
    };
    for (const auto& [args, message] : cases) {
        const CliRun run = RunCli(args);
        EXPECT_EQ(run.exitCode, 2) << message << ": " << run.err;
        EXPECT_NE(run.err.find(message), std::string::npos) << run.err;
        EXPECT_FALSE(std::filesystem::exists(out));
    }
}

} // namespace sonivera
