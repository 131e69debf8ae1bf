// sonivera-cli analyze and plot: reading an effect file with its grouping width, and refusing
// what does not fit.
#include "support/RunCli.h"
#include "support/TempDir.h"
#include "core/tracer/EffectFile.h"

#include <nlohmann/json.hpp>

#include <gtest/gtest.h>

#include <filesystem>
#include <limits>

namespace sonivera {

namespace {

// An effect of one source 10 m away: bin 3 of 100 holds 1.0 (the default stop time and grouping
// width of 1000 and 10 ms).
std::string WriteEffect(const TempDir& dir) {
    const std::string scene = DataFile("source-60-50.3d");
    const std::string out = dir.File("one.e3d");
    EXPECT_EQ(RunCli({"effect", scene, "-o", out}).exitCode, 0);
    return out;
}

} // namespace

TEST(CliAnalyze, PrintsTheFiguresAsTextAndJsonWithEitherSourceOfTheGroupingWidth) {
    TempDir dir;
    const std::string effect = WriteEffect(dir);
    const CliRun text = RunCli({"analyze", effect, "--scene", DataFile("source-60-50.3d")});
    ASSERT_EQ(text.exitCode, 0) << text.err;
    EXPECT_NE(text.out.find("firstArrival    30 ms (bin 3)"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("T30             n/a"), std::string::npos) << text.out;

    const CliRun json = RunCli({"analyze", effect, "--group-time", "10", "--json"});
    ASSERT_EQ(json.exitCode, 0) << json.err;
    const auto j = nlohmann::json::parse(json.out);
    EXPECT_EQ(j["bins"], 100);
    EXPECT_EQ(j["firstBin"], 3);
    EXPECT_EQ(j["peakValue"], 1.0);
    EXPECT_TRUE(j["t30Seconds"].is_null());
    EXPECT_EQ(j["d50"], 1.0);
    EXPECT_EQ(j["d50Percent"], 100.0);
    // The onset, and the marks: a lone impulse has nothing after 50 ms.
    EXPECT_EQ(j["onsetBin"], 3);
    EXPECT_EQ(j["onsetRule"], "first bin within 20 dB of the peak");
    EXPECT_EQ(j["marks"]["d50Percent"], "no energy arrives after 50 ms");
    EXPECT_TRUE(j["marks"]["t30Seconds"].is_null());
    EXPECT_NE(text.out.find("onset           30 ms (bin 3; first bin within 20 dB of the peak)"),
              std::string::npos);
    EXPECT_NE(text.out.find("                * no energy arrives after 50 ms"), std::string::npos);
}

TEST(CliAnalyze, OnsetOptionsChooseTimeZero) {
    // A weak precursor (−40 dB) 20 ms before the main sound.
    TempDir dir;
    const std::string effect = dir.File("pre.e3d");
    std::vector<double> bins(10, 0.0);
    bins[1] = 0.01;
    bins[3] = 1.0;
    bins[4] = 0.5;
    const auto bytes = EffectToBytes(bins, 100.0);
    WriteText(effect, std::string(bytes.begin(), bytes.end()));
    const auto onset = [&](std::vector<std::string> extra) {
        std::vector<std::string> args = {"analyze", effect, "--group-time", "10", "--json"};
        args.insert(args.end(), extra.begin(), extra.end());
        const CliRun run = RunCli(args);
        EXPECT_EQ(run.exitCode, 0) << run.err;
        return nlohmann::json::parse(run.out)["onsetBin"].get<int>();
    };
    EXPECT_EQ(onset({}), 3);
    EXPECT_EQ(onset({"--onset", "first"}), 1);
    EXPECT_EQ(onset({"--onset-db", "45"}), 1);
    EXPECT_EQ(RunCli({"analyze", effect, "--group-time", "10", "--onset", "last"}).exitCode, 2);
    EXPECT_EQ(RunCli({"analyze", effect, "--group-time", "10", "--onset", "first", "--onset-db",
                      "3"})
                  .exitCode,
              2);
}

TEST(CliAnalyze, RefusesWhatItCannotReadOrDoesNotFit) {
    TempDir dir;
    const std::string effect = WriteEffect(dir);
    const std::string nan = dir.File("nan.e3d");
    const auto bytes =
        EffectToBytes(std::vector<double>{std::numeric_limits<double>::quiet_NaN()}, 10.0);
    WriteText(nan, std::string(bytes.begin(), bytes.end()));
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"analyze", effect}, "give --group-time MS or --scene SCENE.3d"},
        {{"analyze", effect, "--group-time", "7"}, "100 bins do not fit"},
        {{"analyze", effect, "--group-time", "0"}, "above 0"},
        {{"analyze", effect, "--group-time", "10", "--scene", DataFile("default.3d")}, "excludes"},
        {{"analyze", DataFile("default.3d"), "--group-time", "10"}, "not an effect file"},
        {{"analyze", nan, "--group-time", "10"}, "bin 0 is not a finite number"},
        {{"analyze", effect, "--scene", DataFile("truncated.3d")}, "truncated.3d"},
        // The hall's stop time is 2000 ms: not the scene of this effect.
        {{"analyze", effect, "--scene", std::string(SONIVERA_EXAMPLES_DIR) + "/hall.3d"},
         "differs from the effect file's"},
    };
    for (const auto& [args, message] : cases) {
        const CliRun run = RunCli(args);
        EXPECT_EQ(run.exitCode, 2) << args[1];
        EXPECT_NE(run.err.find(message), std::string::npos) << run.err;
    }
}

TEST(CliPlot, WritesPngOrSvgWholeAndRefusesOtherOutputs) {
    TempDir dir;
    const std::string effect = WriteEffect(dir);
    const std::string png = dir.File("plot.png");
    const std::string svg = dir.File("plot.svg");
    ASSERT_EQ(RunCli({"plot", effect, "--group-time", "10", "-o", png, "--db"}).exitCode, 0);
    ASSERT_EQ(RunCli({"plot", effect, "--group-time", "10", "-o", svg}).exitCode, 0);
    const auto pngBytes = ReadBytes(png);
    ASSERT_GT(pngBytes.size(), 8u);
    EXPECT_EQ(std::string(pngBytes.begin() + 1, pngBytes.begin() + 4), "PNG");
    const auto svgBytes = ReadBytes(svg);
    const std::string svgText(svgBytes.begin(), svgBytes.end());
    EXPECT_NE(svgText.find("<svg"), std::string::npos);
    EXPECT_NE(svgText.find("</svg>"), std::string::npos);

    // A wrong extension, the input as output, a bad grouping width: nothing is written.
    EXPECT_EQ(RunCli({"plot", effect, "--group-time", "10", "-o", dir.File("x.pdf")}).exitCode, 2);
    EXPECT_EQ(RunCli({"plot", effect, "--group-time", "10", "-o", effect}).exitCode, 2);
    EXPECT_EQ(RunCli({"plot", effect, "--group-time", "3", "-o", dir.File("y.png")}).exitCode, 2);
    EXPECT_FALSE(std::filesystem::exists(dir.File("x.pdf")));
    EXPECT_FALSE(std::filesystem::exists(dir.File("y.png")));
    EXPECT_EQ(ReadBytes(effect).size(), kEffectHeaderSize + 800u);
}

} // namespace sonivera
