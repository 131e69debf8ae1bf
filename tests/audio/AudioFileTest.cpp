// Sound files: the float WAV the program writes, read back with libsndfile itself, and the files
// it must refuse.
#include "audio/AudioError.h"
#include "audio/AudioFile.h"
#include "core/files/InputFile.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sys/stat.h>

namespace sonivera {

namespace {

std::filesystem::path TempPath(const std::string& name) {
    return std::filesystem::temp_directory_path() /
           ("sonivera_audio_" + std::to_string(::getpid()) + "_" + name);
}

void WriteBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// A file written by libsndfile in the given format, for the reading tests.
std::filesystem::path MakeFile(const std::string& name, int format, int rate, int channels,
                               const std::vector<float>& samples) {
    auto path = TempPath(name);
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = channels;
    info.format = format;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    EXPECT_NE(file, nullptr) << sf_strerror(nullptr);
    sf_writef_float(file, samples.data(), static_cast<sf_count_t>(samples.size()) / channels);
    sf_close(file);
    return path;
}

void ExpectRefused(const std::function<void()>& read, const std::string& words) {
    try {
        read();
        ADD_FAILURE() << "accepted; expected a refusal with \"" << words << "\"";
    } catch (const AudioError& e) {
        EXPECT_NE(std::string(e.what()).find(words), std::string::npos) << e.what();
    }
}

} // namespace

TEST(AudioFile, FloatWavRoundTripKeepsEverySampleInItsPlace) {
    AudioBuffer sound{44100, 2, {0.0f, -1.0f, 0.25f, 1.5f, -2.75f, 1e-7f, 0.5f, 0.0f}};
    auto path = TempPath("roundtrip.wav");
    WriteBytes(path, EncodeFloatWav(sound));

    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    ASSERT_NE(file, nullptr) << sf_strerror(nullptr);
    EXPECT_EQ(info.format, SF_FORMAT_WAV | SF_FORMAT_FLOAT);
    EXPECT_EQ(info.samplerate, 44100);
    EXPECT_EQ(info.channels, 2);
    ASSERT_EQ(info.frames, 4);
    std::vector<float> back(8);
    sf_readf_float(file, back.data(), 4);
    sf_close(file);
    // Exact, including the values beyond full scale (nothing clipped).
    EXPECT_EQ(back, sound.samples);

    AudioBuffer read = ReadAudioFile(path.string());
    EXPECT_EQ(read.samples, sound.samples);
    std::filesystem::remove(path);
}

TEST(AudioFile, ReadsFlacAndAiff) {
    std::vector<float> samples{0.0f, 0.5f, -0.5f, 0.25f};
    for (int format : {SF_FORMAT_FLAC | SF_FORMAT_PCM_16, SF_FORMAT_AIFF | SF_FORMAT_PCM_16}) {
        auto path = MakeFile("f.snd", format, 48000, 1, samples);
        AudioBuffer read = ReadAudioFile(path.string());
        EXPECT_EQ(read.rate, 48000);
        EXPECT_EQ(read.channels, 1);
        ASSERT_EQ(read.samples.size(), 4u);
        for (std::size_t i = 0; i < 4; ++i)
            EXPECT_NEAR(read.samples[i], samples[i], 1.0 / 32768);
        std::filesystem::remove(path);
    }
}

TEST(AudioFile, RefusesWhatIsNotGoodSound) {
    ExpectRefused([] { ReadAudioFile(TempPath("missing.wav").string()); }, "missing.wav: No such file");
    ExpectRefused([] { DecodeAudio(std::vector<std::uint8_t>{}, "empty.wav"); }, "empty.wav: not a sound file");
    std::vector<std::uint8_t> text{'E', 'F', 'F', 'E', 'C', 'T', 0, 0, 0, 0, 0, 0, 0, 0};
    ExpectRefused([&] { DecodeAudio(text, "x.e3d"); }, "x.e3d: not a sound file");

    // A WAV header whose data stop half-way: cut a good file short in its header.
    auto good = EncodeFloatWav(AudioBuffer{48000, 1, std::vector<float>(100, 0.1f)});
    std::vector<std::uint8_t> cut(good.begin(), good.begin() + 30);
    ExpectRefused([&] { DecodeAudio(cut, "cut.wav"); }, "cut.wav");

    auto lowRate = MakeFile("low.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 4000, 1, {0.0f, 0.1f});
    ExpectRefused([&] { ReadAudioFile(lowRate.string()); }, "sample rate 4000 Hz is outside");
    std::filesystem::remove(lowRate);

    auto nan = MakeFile("nan.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 48000, 1,
                        {0.0f, std::numeric_limits<float>::quiet_NaN()});
    ExpectRefused([&] { ReadAudioFile(nan.string()); }, "not a finite number");
    std::filesystem::remove(nan);

    ExpectRefused([] { EncodeFloatWav(AudioBuffer{1000, 1, {0.0f}}); }, "cannot be written");

    // Cut short inside its sound data: the frames announced and found, not a silent shorter
    // sound.
    auto stereo = EncodeFloatWav(AudioBuffer{48000, 2, std::vector<float>(2000, 0.1f)});
    std::vector<std::uint8_t> shortData(stereo.begin(), stereo.end() - 800);
    ExpectRefused([&] { DecodeAudio(shortData, "short.wav"); },
                  "short.wav: the file ends early: its header announces 1000 frames, it holds 900");

    // A FIFO is refused at once instead of waiting for a writer that never comes.
    auto fifo = TempPath("fifo.wav");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    ExpectRefused([&] { ReadAudioFile(fifo.string()); }, "not a regular file");
    std::filesystem::remove(fifo);
}

TEST(AudioFile, EveryContainerCutShortIsRefusedAndWholeIsRead) {
    // Written by the sound library itself, then cut 100 frames (400 bytes) before their end.
    const std::vector<std::pair<std::string, int>> formats = {
        {"wav", SF_FORMAT_WAV},   {"aiff", SF_FORMAT_AIFF}, {"au", SF_FORMAT_AU},
        {"w64", SF_FORMAT_W64},   {"rf64", SF_FORMAT_RF64},
    };
    for (const auto& [ext, container] : formats) {
        SCOPED_TRACE(ext);
        const auto path = MakeFile("whole." + ext, container | SF_FORMAT_PCM_16, 48000, 2,
                                   std::vector<float>(2000, 0.25f));
        const std::vector<std::uint8_t> whole = ReadWholeFile(path.string());
        std::filesystem::remove(path);
        EXPECT_EQ(DecodeAudio(whole, "whole." + ext).Frames(), 1000u);
        const std::vector<std::uint8_t> cut(whole.begin(), whole.end() - 400);
        ExpectRefused([&] { DecodeAudio(cut, "cut." + ext); },
                      "cut." + ext + ": the file ends early: its header announces 1000 frames, "
                                     "it holds 900");
    }
}

TEST(AudioFile, WrittenWavCarriesNoTimeSoTheSameSoundGivesTheSameBytes) {
    const auto bytes = EncodeFloatWav(AudioBuffer{48000, 1, {0.5f, -0.25f}});
    const std::string text(bytes.begin(), bytes.end());
    EXPECT_EQ(text.find("PEAK"), std::string::npos);
    EXPECT_EQ(bytes, EncodeFloatWav(AudioBuffer{48000, 1, {0.5f, -0.25f}}));
}

} // namespace sonivera
