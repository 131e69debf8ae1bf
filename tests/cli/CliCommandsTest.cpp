#include "core/model/SceneFile.h"
#include "support/RunCli.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include <filesystem>

namespace sonivera {

namespace {

// Every committed scene fixture that is a valid scene.
const char* const kScenes[] = {
    "default.3d",          "room.3d",         "three-objects.3d",  "source-60-50.3d",
    "listener-in-rect.3d", "nested-rects.3d", "source-in-rect.3d", "echoes.3d"};

std::size_t Lines(const std::string& text) {
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

} // namespace

TEST(CliNew, WritesTheDefaultSceneOf118Bytes) {
    TempDir dir;
    const std::string out = dir.File("new.3d");
    const CliRun run = RunCli({"new", out});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err, "");
    const auto bytes = ReadBytes(out);
    EXPECT_EQ(bytes.size(), 118u);
    EXPECT_EQ(bytes, ReadBytes(DataFile("default.3d")));
}

TEST(CliNew, UnwritableOutputFailsWithThePathAndCode3) {
    TempDir dir;
    const std::string out = dir.File("missing-folder/new.3d");
    const CliRun run = RunCli({"new", out});
    EXPECT_EQ(run.exitCode, 3);
    EXPECT_NE(run.err.find(out), std::string::npos) << run.err;
    EXPECT_EQ(Lines(run.err), 1u) << run.err;
}

TEST(CliCheck, CleanSceneExitsZero) {
    for (const char* name : {"default.3d", "source-60-50.3d", "three-objects.3d"}) {
        const CliRun run = RunCli({"check", DataFile(name)});
        EXPECT_EQ(run.exitCode, 0) << name;
        EXPECT_EQ(run.out, "Сцена не содержит ошибок\n") << name;
    }
}

TEST(CliCheck, FirstFindingIsPrintedAndExitsOne) {
    struct Case {
        const char* file;
        const char* message;
    };
    const Case cases[] = {
        {"listener-in-rect.3d", "Объект (50,50) внутри прямоугольника\n"},
        {"nested-rects.3d", "Вложенные прямоугольники\n"},
        {"source-in-rect.3d", "Объект (33.3333,50) внутри прямоугольника\n"},
    };
    for (const auto& c : cases) {
        const CliRun run = RunCli({"check", DataFile(c.file)});
        EXPECT_EQ(run.exitCode, 1) << c.file;
        EXPECT_EQ(run.out, c.message) << c.file;
    }
}

TEST(CliInput, UnreadableAndMalformedFilesExitTwoWithOneLine) {
    struct Case {
        std::vector<std::string> args;
        std::string text; // expected in the message
    };
    const std::string lowercase = DataFile("lowercase-tag.3d");
    const std::string truncated = DataFile("truncated.3d");
    const std::string missing = DataFile("no-such-file.3d");
    const Case cases[] = {
        {{"check", lowercase}, lowercase + ": Unexpected file format."},
        {{"info", truncated}, truncated + ": Unexpected file format."},
        {{"info", "--json", DataFile("source-60-50.json")}, "Unexpected file format."},
        {{"check", missing}, missing},
        {{"effect", lowercase, "-o", (std::filesystem::temp_directory_path() / "x.e3d").string()},
         lowercase + ": Unexpected file format."},
        {{"build", missing, "-o", (std::filesystem::temp_directory_path() / "x.3d").string()}, missing},
    };
    for (const auto& c : cases) {
        const CliRun run = RunCli(c.args);
        EXPECT_EQ(run.exitCode, 2) << c.args[0] << ' ' << c.args[1];
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(Lines(run.err), 1u) << run.err;
        EXPECT_EQ(run.err.rfind("sonivera-cli: ", 0), 0u) << run.err;
        EXPECT_NE(run.err.find(c.text), std::string::npos) << run.err;
    }
}

TEST(CliUsage, UsageErrorsExitTwoWithOneLine) {
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"frobnicate"},
        {"check"},
        {"check", "a.3d", "b.3d"},
        {"new"},
        {"build", DataFile("source-60-50.json")}, // no -o
        {"effect", DataFile("source-60-50.3d")},  // no -o
        {"effect", DataFile("source-60-50.3d"), "-o", "x.e3d", "--threads", "0"},
        {"effect", DataFile("source-60-50.3d"), "-o", "x.e3d", "--threads", "many"},
        {"info", "--yaml", DataFile("default.3d")},
    };
    for (const auto& args : cases) {
        const CliRun run = RunCli(args);
        EXPECT_EQ(run.exitCode, 2) << (args.empty() ? "" : args[0]);
        EXPECT_EQ(Lines(run.err), 1u) << run.err;
        EXPECT_EQ(run.out, "");
    }
}

// The subcommands `--help` lists, in its order.
std::vector<std::string> Subcommands() {
    const CliRun top = RunCli({"--help"});
    std::vector<std::string> names;
    std::istringstream in(top.out);
    std::string line;
    bool listing = false;
    while (std::getline(in, line)) {
        if (line.rfind("Subcommands:", 0) == 0) {
            listing = true;
        } else if (listing && !line.empty()) {
            names.push_back(line.substr(2, line.find(' ', 2) - 2));
        }
    }
    return names;
}

TEST(CliUsage, EverySubcommandHasHelpAndTheCompletionOffersItAndItsOptions) {
    const std::vector<std::string> subcommands = Subcommands();
    EXPECT_EQ(subcommands.size(), 12u);
    const auto bytes = ReadBytes(SONIVERA_PACKAGING_DIR "/sonivera-cli.bash");
    const std::string completion(bytes.begin(), bytes.end());
    const std::size_t listed = completion.find("local subcommands=\"");
    ASSERT_NE(listed, std::string::npos);
    const std::string offered =
        " " + completion.substr(listed + 19, completion.find('"', listed + 19) - listed - 19) + " ";
    for (const std::string& command : subcommands) {
        SCOPED_TRACE(command);
        const CliRun run = RunCli({command, "--help"});
        EXPECT_EQ(run.exitCode, 0);
        EXPECT_NE(run.out.find("Usage: sonivera-cli " + command), std::string::npos) << run.out;
        EXPECT_NE(offered.find(" " + command + " "), std::string::npos);
        // Each option the help names is offered after the subcommand.
        const std::size_t row = completion.find("\n    " + command + ") options=\"");
        ASSERT_NE(row, std::string::npos);
        std::string options = completion.substr(row, completion.find('\n', row + 1) - row);
        std::replace(options.begin(), options.end(), '"', ' ');
        std::istringstream help(run.out);
        std::string line;
        while (std::getline(help, line)) {
            const std::size_t dash = line.find("--");
            if (line.rfind("  -", 0) != 0 || dash == std::string::npos) {
                continue;
            }
            const std::string option = line.substr(dash, line.find_first_of(" ,", dash) - dash);
            EXPECT_NE(options.find(" " + option), std::string::npos) << option;
        }
    }
}

TEST(CliInfo, TextShowsSettingsAndObjectsExactly) {
    const CliRun run = RunCli({"info", DataFile("source-in-rect.3d")});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.out.find("passAbsorptionLimit   1.6e+308\n"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("objects               3\n"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("  0 listener m_x=50 m_y=50\n"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("  1 rect     m_x=30 m_y=45 m_width=10 m_height=10 "
                           "m_absorption=1.7e+308 m_reflection=0\n"),
              std::string::npos)
        << run.out;
    // 100/3 with all the digits it takes to read back exactly.
    EXPECT_NE(run.out.find("  2 source   m_x=33.333333333333336 m_y=50 m_power=0.5\n"),
              std::string::npos)
        << run.out;
}

TEST(CliBuild, JsonFixturesBuildTheCommittedScenesByteForByte) {
    TempDir dir;
    for (const char* name :
         {"source-60-50", "listener-in-rect", "nested-rects", "source-in-rect", "echoes"}) {
        const std::string out = dir.File(std::string(name) + ".3d");
        const CliRun run = RunCli({"build", DataFile(std::string(name) + ".json"), "-o", out});
        EXPECT_EQ(run.exitCode, 0) << run.err;
        EXPECT_EQ(ReadBytes(out), ReadBytes(DataFile(std::string(name) + ".3d"))) << name;
    }
}

TEST(CliBuild, InfoJsonThenBuildIsByteIdentical) {
    TempDir dir;
    for (const char* name : kScenes) {
        const CliRun info = RunCli({"info", "--json", DataFile(name)});
        ASSERT_EQ(info.exitCode, 0) << info.err;
        // Through a file and through standard input.
        const std::string json = dir.File("scene.json");
        WriteText(json, info.out);
        const std::string out1 = dir.File("one.3d");
        const std::string out2 = dir.File("two.3d");
        EXPECT_EQ(RunCli({"build", json, "-o", out1}).exitCode, 0);
        EXPECT_EQ(RunCli({"build", "-", "--output", out2}, info.out).exitCode, 0);
        const auto original = ReadBytes(DataFile(name));
        EXPECT_EQ(ReadBytes(out1), original) << name;
        EXPECT_EQ(ReadBytes(out2), original) << name;
    }
}

TEST(CliBuild, BadJsonNamesTheFieldExitsTwoAndWritesNothing) {
    TempDir dir;
    const std::string out = dir.File("out.3d");
    const std::string good = RunCli({"info", "--json", DataFile("three-objects.3d")}).out;
    auto replaced = [&](const std::string& from, const std::string& to) {
        std::string text = good;
        const auto at = text.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        return text.replace(at, from.size(), to);
    };
    struct Case {
        std::string json;
        std::string expected;
    };
    const Case cases[] = {
        {"{ \"width\": ", "not valid JSON"},
        {replaced("\"gridX\": 1.0,", ""), "gridX: missing"},
        {replaced("\"normalize\": true", "\"normalize\": \"yes\""),
         "normalize: expected true or false, got string"},
        {replaced("\"m_power\": 0.75", "\"m_power\": null"),
         "objects[1].m_power: expected a number, got null"},
        {replaced("\"width\": 100.0", "\"width\": -3"), "width is not within"},
        {replaced("\"kind\": \"rect\"", "\"kind\": \"wall\""), "objects[2].kind"},
        {replaced("\"rayCount\": 100", "\"rayCount\": 1e3"), "rayCount: expected an integer"},
    };
    for (const auto& c : cases) {
        const std::string json = dir.File("bad.json");
        WriteText(json, c.json);
        const CliRun run = RunCli({"build", json, "-o", out});
        EXPECT_EQ(run.exitCode, 2) << c.expected;
        EXPECT_EQ(Lines(run.err), 1u) << run.err;
        EXPECT_NE(run.err.find(json + ": "), std::string::npos) << run.err;
        EXPECT_NE(run.err.find(c.expected), std::string::npos) << run.err;
        EXPECT_FALSE(std::filesystem::exists(out));
    }
}

TEST(CliBuild, FailedBuildKeepsThePreviousOutput) {
    TempDir dir;
    const std::string out = dir.File("out.3d");
    ASSERT_EQ(RunCli({"new", out}).exitCode, 0);
    const CliRun run = RunCli({"build", "-", "-o", out}, "{\"width\": 5}");
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.err.find("standard input: height: missing"), std::string::npos) << run.err;
    EXPECT_EQ(ReadBytes(out), ReadBytes(DataFile("default.3d")));
}

} // namespace sonivera
