// FFT convolution against the direct sum, and a click giving back the impulse response.
#include "audio/AudioError.h"
#include "audio/Convolution.h"
#include "audio/ImpulseResponse.h"
#include "audio/Level.h"

#include <gtest/gtest.h>

#include <random>

namespace sonivera {

namespace {

std::vector<float> DirectSum(const std::vector<float>& x, const std::vector<float>& h) {
    std::vector<float> y(x.size() + h.size() - 1, 0.0f);
    for (std::size_t i = 0; i < x.size(); ++i)
        for (std::size_t j = 0; j < h.size(); ++j)
            y[i + j] += x[i] * h[j];
    return y;
}

std::vector<float> Noise(std::size_t n, std::mt19937& rng) {
    std::uniform_real_distribution<float> d(-1.0f, 1.0f);
    std::vector<float> v(n);
    for (float& s : v)
        s = d(rng);
    return v;
}

} // namespace

TEST(Convolution, EqualsTheDirectSumPerChannel) {
    std::mt19937 rng(7);
    // Lengths that give one block, many blocks with a short response, a response longer than
    // the signal, and single samples.
    const std::pair<std::size_t, std::size_t> cases[] = {
        {1, 1}, {1, 9}, {9, 1}, {100, 7}, {1000, 5}, {3000, 300}, {50, 700}};
    for (auto [frames, taps] : cases) {
        auto left = Noise(frames, rng), right = Noise(frames, rng), h = Noise(taps, rng);
        AudioBuffer dry{48000, 2, {}};
        for (std::size_t i = 0; i < frames; ++i) {
            dry.samples.push_back(left[i]);
            dry.samples.push_back(right[i]);
        }
        AudioBuffer wet = Convolve(dry, h);
        EXPECT_EQ(wet.rate, 48000);
        EXPECT_EQ(wet.channels, 2);
        auto expectLeft = DirectSum(left, h), expectRight = DirectSum(right, h);
        ASSERT_EQ(wet.Frames(), expectLeft.size()) << frames << " × " << taps;
        // Float FFT rounding grows with the length; sums here stay within a few units.
        const float tolerance = 2e-5f * static_cast<float>(std::min(frames, taps));
        for (std::size_t i = 0; i < wet.Frames(); ++i) {
            ASSERT_NEAR(wet.samples[2 * i], expectLeft[i], tolerance) << frames << "×" << taps;
            ASSERT_NEAR(wet.samples[2 * i + 1], expectRight[i], tolerance) << frames << "×" << taps;
        }
    }
    EXPECT_EQ(Convolve(AudioBuffer{48000, 1, {}}, std::vector<float>{1.0f}).Frames(), 0u);
}

TEST(Convolution, AClickGivesBackTheImpulseResponse) {
    std::vector<double> bins{0.0, 1.0, 0.6, -0.3, 0.1};
    auto ir = ImpulseResponseFromBins(bins, 10.0, 48000);
    AudioBuffer click{48000, 1, std::vector<float>(2000, 0.0f)};
    click.samples[0] = 1.0f;
    AudioBuffer wet = Convolve(click, ir);
    ASSERT_EQ(wet.Frames(), 2000 + ir.size() - 1);
    for (std::size_t i = 0; i < wet.Frames(); ++i)
        ASSERT_NEAR(wet.samples[i], i < ir.size() ? ir[i] : 0.0f, 1e-6f) << i;
}

TEST(Convolution, StopsWhenCancelled) {
    std::atomic<bool> cancel{true};
    AudioBuffer dry{48000, 1, std::vector<float>(10, 0.5f)};
    EXPECT_THROW(Convolve(dry, std::vector<float>{1.0f}, &cancel), ConvolutionCancelled);
}

TEST(Level, NormalisingBringsThePeakToFullScale) {
    AudioBuffer sound{48000, 2, {0.1f, -3.0f, 2.0f, 0.0f}};
    EXPECT_EQ(PeakOf(sound), 3.0f);
    NormalizeToFullScale(sound);
    EXPECT_EQ(PeakOf(sound), 1.0f);
    EXPECT_EQ(sound.samples[1], -1.0f);
    EXPECT_NEAR(PeakToDecibels(2.0), 6.0206, 1e-4);
    AudioBuffer silence{48000, 1, {0.0f, 0.0f}};
    EXPECT_EQ(NormalizeToFullScale(silence), 1.0);
    EXPECT_EQ(PeakOf(silence), 0.0f);
}

} // namespace sonivera
