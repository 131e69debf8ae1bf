// sonivera-cli wav and auralize: the impulse response and the convolved sound they write, read
// back with the audio library, and the inputs they refuse without writing anything.
#include "audio/AudioFile.h"
#include "core/tracer/EffectFile.h"
#include "support/RunCli.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <limits>

namespace sonivera {

namespace {

// An effect of four 10 ms bins (stop time 40 ms): direct sound 1, an echo of 0.5 at 20 ms.
std::string WriteEffect(const TempDir& dir, std::vector<double> bins = {1.0, 0.0, 0.5, 0.0}) {
    const std::string path = dir.File("effect.e3d");
    const auto bytes = EffectToBytes(bins, 10.0 * static_cast<double>(bins.size()));
    WriteText(path, std::string(bytes.begin(), bytes.end()));
    return path;
}

std::string WriteSound(const TempDir& dir, const std::string& name, const AudioBuffer& sound) {
    const std::string path = dir.File(name);
    const auto bytes = EncodeFloatWav(sound);
    WriteText(path, std::string(bytes.begin(), bytes.end()));
    return path;
}

} // namespace

TEST(CliWav, WritesEachBinAtItsSampleAsFloatWav) {
    TempDir dir;
    const std::string effect = WriteEffect(dir);
    const std::string out = dir.File("ir.wav");
    const CliRun run = RunCli({"wav", effect, "-o", out, "--group-time", "10", "--rate", "8000"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.err.find("quantised to its grouping time (10 ms)"), std::string::npos);
    const AudioBuffer ir = ReadAudioFile(out);
    EXPECT_EQ(ir.rate, 8000);
    EXPECT_EQ(ir.channels, 1);
    // 80 samples per bin; the response ends at the last bin's sample.
    std::vector<float> expected(241, 0.0f);
    expected[0] = 1.0f;
    expected[160] = 0.5f;
    EXPECT_EQ(ir.samples, expected);
}

TEST(CliWav, RefusesBadInputAndWritesNothing) {
    TempDir dir;
    const std::string effect = WriteEffect(dir);
    const std::string out = dir.File("ir.wav");
    const std::string junk = dir.File("junk.e3d");
    WriteText(junk, "neither a scene nor an effect");
    struct Case {
        std::vector<std::string> args;
        std::string message;
    };
    const Case cases[] = {
        {{"wav", effect, "-o", out, "--group-time", "10", "--rate", "1000"},
         "--rate 1000 Hz is outside 8000–384000 Hz"},
        {{"wav", effect, "-o", out, "--group-time", "0.1", "--rate", "8000"},
         ""}, // refused by the bin count check: 4 bins do not fit 40 ms at 0.1 ms
        {{"wav", effect, "-o", out}, "--group-time MS or --scene SCENE.3d"},
        {{"wav", DataFile("default.3d"), "-o", out, "--group-time", "10"}, "is a scene"},
        {{"wav", junk, "-o", out, "--group-time", "10"}, "not an effect file"},
        {{"wav", effect, "-o", effect, "--group-time", "10"}, "same file"},
    };
    for (const Case& c : cases) {
        const CliRun run = RunCli(c.args);
        EXPECT_EQ(run.exitCode, 2) << c.args[1] << ' ' << run.err;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        EXPECT_FALSE(std::filesystem::exists(out)) << run.err;
    }
    // Bins sharing a sample: 0.1 ms bins at 8 kHz, with a matching stop time.
    const std::string fineEffect = dir.File("fine.e3d");
    const auto shared = EffectToBytes(std::vector<double>(4, 0.1), 0.4);
    WriteText(fineEffect, std::string(shared.begin(), shared.end()));
    const CliRun run =
        RunCli({"wav", fineEffect, "-o", out, "--group-time", "0.1", "--rate", "8000"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.err.find("would share a sample; use a rate of at least 10000 Hz"),
              std::string::npos)
        << run.err;
    EXPECT_FALSE(std::filesystem::exists(out));
}

TEST(CliWav, FromASceneEveryEchoSitsAtItsOwnSampleAndAnOnsetCutsWhatComesBefore) {
    // The source 10 m from the listener: the direct sound at 1/30 s.
    TempDir dir;
    const std::string out = dir.File("ir.wav");
    CliRun run = RunCli({"wav", DataFile("source-60-50.3d"), "-o", out, "--rate", "44100"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err.find("quantised"), std::string::npos);
    AudioBuffer ir = ReadAudioFile(out);
    ASSERT_EQ(ir.samples.size(), 1471u); // ends at the last echo
    EXPECT_EQ(ir.samples[1470], 1.0f);
    // Time zero at the onset bin (30 ms): 1323 samples fewer at 44.1 kHz.
    run = RunCli(
        {"wav", DataFile("source-60-50.3d"), "-o", out, "--rate", "44100", "--onset-db", "20"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    ir = ReadAudioFile(out);
    ASSERT_EQ(ir.samples.size(), 148u);
    EXPECT_EQ(ir.samples[147], 1.0f);
    // A scene has its own grouping width.
    run = RunCli({"wav", DataFile("source-60-50.3d"), "-o", out, "--group-time", "10"});
    EXPECT_EQ(run.exitCode, 2);
    // The scene check comes first.
    run = RunCli({"wav", DataFile("source-in-rect.3d"), "-o", dir.File("other.wav")});
    EXPECT_EQ(run.exitCode, 1) << run.err;
    EXPECT_FALSE(std::filesystem::exists(dir.File("other.wav")));
}

TEST(CliAuralize, ConvolvesEveryChannelAndSetsTheLevel) {
    TempDir dir;
    const std::string effect = WriteEffect(dir);
    // Stereo at 8 kHz: a click on the left at frame 0, one of 0.5 on the right at frame 10.
    AudioBuffer dry{8000, 2, std::vector<float>(2 * 20, 0.0f)};
    dry.samples[0] = 1.0f;
    dry.samples[2 * 10 + 1] = 0.5f;
    const std::string drySound = WriteSound(dir, "dry.wav", dry);
    const std::string out = dir.File("wet.wav");

    CliRun run = RunCli({"auralize", drySound, effect, "-o", out, "--group-time", "10"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.err.find("quantised"), std::string::npos);
    AudioBuffer wet = ReadAudioFile(out);
    ASSERT_EQ(wet.channels, 2);
    ASSERT_EQ(wet.Frames(), 20u + 241u - 1u);
    EXPECT_NEAR(wet.samples[0], 1.0f, 1e-6f); // left: the response itself
    EXPECT_NEAR(wet.samples[2 * 160], 0.5f, 1e-6f);
    EXPECT_NEAR(wet.samples[2 * 10 + 1], 0.5f, 1e-6f); // right: half of it, 10 frames later
    EXPECT_NEAR(wet.samples[2 * 170 + 1], 0.25f, 1e-6f);
    EXPECT_NEAR(wet.samples[2 * 100], 0.0f, 1e-6f);

    run = RunCli({"auralize", drySound, effect, "-o", out, "--group-time", "10", "--gain", "-6"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NEAR(ReadAudioFile(out).samples[0], 0.501187f, 1e-5f);

    // Louder than full scale: written as it is, with a warning naming the peak.
    run = RunCli({"auralize", drySound, effect, "-o", out, "--group-time", "10", "--gain", "6"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.err.find("peaks at 1.99526 (+6.00 dBFS), above full scale"), std::string::npos)
        << run.err;
    // The advice names the --gain that fixes it, counted from the one given.
    EXPECT_NE(run.err.find("would bring it to full scale). Use --gain 0.00 or --normalize."),
              std::string::npos)
        << run.err;
    EXPECT_NEAR(ReadAudioFile(out).samples[0], 1.99526f, 1e-5f);

    run = RunCli({"auralize", drySound, effect, "-o", out, "--group-time", "10", "--normalize"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err.find("above full scale"), std::string::npos);
    EXPECT_EQ(ReadAudioFile(out).samples[0], 1.0f);
}

TEST(CliAuralize, RefusesBadSoundAndKeepsThePreviousOutput) {
    TempDir dir;
    const std::string effect = WriteEffect(dir);
    const std::string out = dir.File("wet.wav");
    WriteText(out, "previous");
    const std::string garbage = dir.File("garbage.wav");
    WriteText(garbage, "RIFF, but no sound");
    const std::string nan = WriteSound(
        dir, "nan.wav", AudioBuffer{8000, 1, {0.0f, std::numeric_limits<float>::quiet_NaN()}});
    const std::string empty = WriteSound(dir, "empty.wav", AudioBuffer{8000, 1, {}});
    const std::string ok = WriteSound(dir, "ok.wav", AudioBuffer{8000, 1, {1.0f}});
    struct Case {
        std::vector<std::string> args;
        std::string message;
    };
    const Case cases[] = {
        {{"auralize", garbage, effect, "-o", out, "--group-time", "10"}, "not a sound file"},
        {{"auralize", nan, effect, "-o", out, "--group-time", "10"}, "not a finite number"},
        {{"auralize", empty, effect, "-o", out, "--group-time", "10"}, "holds no sound"},
        {{"auralize", ok, garbage, "-o", out, "--group-time", "10"}, "effect file"},
        {{"auralize", ok, effect, "-o", out, "--group-time", "10", "--gain", "nan"}, "--gain"},
        {{"auralize", ok, effect, "-o", ok, "--group-time", "10"}, "same file"},
    };
    for (const Case& c : cases) {
        const CliRun run = RunCli(c.args);
        EXPECT_EQ(run.exitCode, 2) << c.args[1] << ' ' << run.err;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    }
    EXPECT_EQ(ReadBytes(out), std::vector<std::uint8_t>({'p', 'r', 'e', 'v', 'i', 'o', 'u', 's'}));
}

} // namespace sonivera
