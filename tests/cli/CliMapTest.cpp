// sonivera-cli map: the table and picture of figures over the plan, checked against effect and
// analyze on scenes with the listener moved, and the refusals.
#include "core/model/SceneFile.h"
#include "support/RunCli.h"
#include "support/TempDir.h"

#include <nlohmann/json.hpp>

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <sstream>

namespace sonivera {

namespace {

std::string ReadText(const std::string& path) {
    const auto bytes = ReadBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

std::vector<std::vector<std::string>> CsvRows(const std::string& text) {
    std::vector<std::vector<std::string>> rows;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        std::vector<std::string> fields;
        std::string field;
        bool quoted = false;
        for (const char c : line) {
            if (c == '"') {
                quoted = !quoted;
            } else if (c == ',' && !quoted) {
                fields.push_back(field);
                field.clear();
            } else {
                field += c;
            }
        }
        fields.push_back(field);
        rows.push_back(fields);
    }
    return rows;
}

std::size_t ColumnOf(const std::vector<std::string>& header, const std::string& name) {
    return static_cast<std::size_t>(std::find(header.begin(), header.end(), name) - header.begin());
}

} // namespace

TEST(CliMap, EveryPointEqualsEffectAndAnalyzeWithTheListenerMovedAndAnyThreadCount) {
    TempDir dir;
    const std::string scene = DataFile("echoes.3d");
    const CliRun one =
        RunCli({"map", scene, "--step", "12.5", "--threads", "1", "--csv", dir.File("one.csv"),
                "--json", dir.File("map.json"), "-o", dir.File("map.png")});
    ASSERT_EQ(one.exitCode, 0) << one.err;
    ASSERT_EQ(
        RunCli({"map", scene, "--step", "12.5", "--threads", "2", "--csv", dir.File("two.csv")})
            .exitCode,
        0);
    const std::string csv = ReadText(dir.File("one.csv"));
    EXPECT_EQ(csv, ReadText(dir.File("two.csv")));
    EXPECT_GT(std::filesystem::file_size(dir.File("map.png")), 1000u);
    EXPECT_EQ(nlohmann::json::parse(ReadText(dir.File("map.json")))["points"].size(), 64u);

    const auto rows = CsvRows(csv);
    ASSERT_EQ(rows.size(), 65u);
    const auto& header = rows[0];
    // The point (31.25, 31.25) stands inside the 30..35 m rectangle.
    const auto& refused = rows[1 + 2 * 8 + 2];
    EXPECT_EQ(refused[2], "Объект (31.25,31.25) внутри прямоугольника");

    const auto original = ReadSceneFile(scene);
    for (const std::size_t point : {0u, 13u, 42u}) {
        const auto& row = rows[1 + point];
        auto moved = ReadSceneFile(scene);
        moved->objects.front()->m_x = std::stod(row[0]);
        moved->objects.front()->m_y = std::stod(row[1]);
        const std::string movedPath = dir.File("moved.3d");
        WriteSceneFile(movedPath, *moved);
        ASSERT_EQ(RunCli({"effect", movedPath, "-o", dir.File("moved.e3d")}).exitCode, 0);
        const CliRun analyze =
            RunCli({"analyze", dir.File("moved.e3d"), "--scene", movedPath, "--json"});
        ASSERT_EQ(analyze.exitCode, 0) << analyze.err;
        const auto j = nlohmann::json::parse(analyze.out);
        EXPECT_EQ(row[2], "ok");
        // Every figure column of the table, whatever figures there are: one without its
        // analyze counterpart below fails, so a new figure cannot go unchecked.
        const std::map<std::string, std::string> analyzeKey = {
            {"onset_ms", "onsetMs"},      {"arrival_ms", "firstArrivalMs"}, {"edt_s", "edtSeconds"},
            {"t20_s", "t20Seconds"},      {"t30_s", "t30Seconds"},          {"c50_db", "c50Db"},
            {"c80_db", "c80Db"},          {"d50_pct", "d50Percent"},        {"ts_ms", "centreTimeMs"},
            {"sti", "sti"}};
        std::size_t compared = 0;
        for (std::size_t c = 3; c < header.size(); ++c) {
            const std::string& column = header[c];
            if (column.ends_with("_mark")) {
                continue;
            }
            ASSERT_TRUE(analyzeKey.contains(column)) << "no analyze figure for " << column;
            const std::string& key = analyzeKey.at(column);
            const std::string& field = row[c];
            if (j[key].is_null()) {
                EXPECT_EQ(field, "") << column;
            } else {
                EXPECT_EQ(std::stod(field), j[key].get<double>()) << column << " at " << point;
            }
            ++compared;
        }
        EXPECT_EQ(compared, analyzeKey.size());
    }
    EXPECT_EQ(original->objects.front()->m_x, 50.0); // nothing was written to the scene
}

TEST(CliMap, DifferenceOfAPlanWithItselfIsZeroAndBadRequestsWriteNothing) {
    TempDir dir;
    const std::string scene = DataFile("echoes.3d");
    const std::string copy = dir.File("copy.3d");
    std::filesystem::copy_file(scene, copy);
    const CliRun run =
        RunCli({"map", scene, "--compare", copy, "--step", "25", "--csv", dir.File("diff.csv"),
                "-o", dir.File("diff.svg"), "--figure", "t30"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const auto rows = CsvRows(ReadText(dir.File("diff.csv")));
    const std::size_t c50 = ColumnOf(rows[0], "c50_db");
    std::size_t zeros = 0;
    for (std::size_t r = 1; r < rows.size(); ++r) {
        if (!rows[r][c50].empty()) {
            EXPECT_EQ(rows[r][c50], "0");
            ++zeros;
        }
    }
    EXPECT_GT(zeros, 0u);

    const std::string out = dir.File("out.csv");
    const std::string corridor = dir.File("corridor.3d");
    auto long_ = ReadSceneFile(DataFile("default.3d"));
    long_->width = 5;
    long_->height = 300;
    long_->objects.front()->m_x = 2.5;
    WriteSceneFile(corridor, *long_);
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"map", scene}, "at least one output"},
        {{"map", scene, "--csv", out, "--figure", "loudness"}, "--figure must be one of"},
        {{"map", scene, "--csv", out, "--step", "0"}, "finite number of metres above 0"},
        {{"map", scene, "--csv", out, "--step", "0.01"}, "Take a larger step"},
        {{"map", scene, "--csv", out, "-o", dir.File("x.gif")}, "must end in .png or .svg"},
        {{"map", scene, "--csv", scene}, "same file"},
        // A corridor 60 times longer than wide: the picture would pass cairo's largest side.
        {{"map", corridor, "--csv", out, "-o", dir.File("c.png"), "--step", "5"},
         "px tall at --width 900, more than 32767 (--width "},
        {{"map", scene, "--csv", out, "--compare", DataFile("three-objects.3d"), "--step", "50"},
         ""},
    };
    for (const auto& [args, message] : cases) {
        const CliRun bad = RunCli(args);
        if (message.empty()) {
            continue; // a plan of the same size: accepted
        }
        EXPECT_EQ(bad.exitCode, 2) << bad.err;
        EXPECT_NE(bad.err.find(message), std::string::npos) << bad.err;
        EXPECT_FALSE(std::filesystem::exists(out));
    }
    // A map without a source says it holds no values.
    const CliRun silent = RunCli({"map", DataFile("default.3d"), "--step", "25", "--csv", out});
    EXPECT_EQ(silent.exitCode, 0) << silent.err;
    EXPECT_NE(silent.err.find("no sound reaches any point"), std::string::npos) << silent.err;
    std::filesystem::remove(out);

    // The width the refusal names does fit.
    const CliRun tall = RunCli({"map", corridor, "-o", dir.File("c.png"), "--step", "5"});
    const std::size_t at = tall.err.find("(--width ");
    ASSERT_NE(at, std::string::npos) << tall.err;
    const std::string width = tall.err.substr(at + 9, tall.err.find(' ', at + 9) - at - 9);
    const CliRun fits =
        RunCli({"map", corridor, "-o", dir.File("c.png"), "--step", "5", "--width", width});
    EXPECT_EQ(fits.exitCode, 0) << fits.err;
}

} // namespace sonivera
