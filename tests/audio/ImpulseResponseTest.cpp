// The effect's bins placed as samples of an impulse response.
#include "audio/ImpulseResponse.h"
#include "audio/AudioError.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace sonivera {

TEST(ImpulseResponse, EachBinLandsAtItsRoundedSampleWithZerosBetween) {
    std::vector<double> bins{1.0, 0.0, -0.5, 0.25};
    // g = 3 ms at 44 100 Hz: 132.3 samples per bin, so bins at 0, 132, 265, 397.
    auto ir = ImpulseResponseFromBins(bins, 3.0, 44100);
    ASSERT_EQ(ir.size(), 398u);
    EXPECT_EQ(ir[0], 1.0f);
    EXPECT_EQ(ir[265], -0.5f);
    EXPECT_EQ(ir[397], 0.25f);
    int nonZero = 0;
    for (float s : ir)
        nonZero += s != 0.0f;
    EXPECT_EQ(nonZero, 3);

    // A single bin is one sample, whatever the rate.
    EXPECT_EQ(ImpulseResponseFromBins(std::vector<double>{0.7}, 0.01, 8000).size(), 1u);
}

TEST(ImpulseResponse, RefusesBinsSharingASampleAndUnsafeValues) {
    std::vector<double> bins{1.0, 0.5, 0.25};
    // 0.1 ms at 8 000 Hz is 0.8 samples per bin: 0, 0.8, 1.6 and 2.4 round to 0, 1, 2 and 2.
    std::vector<double> four{1.0, 0.5, 0.25, 0.125};
    try {
        ImpulseResponseFromBins(four, 0.1, 8000);
        FAIL();
    } catch (const AudioError& e) {
        EXPECT_STREQ(e.what(), "At 8000 Hz two bins of 0.1 ms would share a sample; use a rate of "
                               "at least 10000 Hz.");
    }
    EXPECT_NO_THROW(ImpulseResponseFromBins(four, 0.1, 10000));

    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_THROW(ImpulseResponseFromBins(bins, 10.0, 7999), AudioError);
    EXPECT_THROW(ImpulseResponseFromBins(bins, 10.0, 384001), AudioError);
    EXPECT_THROW(ImpulseResponseFromBins(bins, 0.0, 48000), AudioError);
    EXPECT_THROW(ImpulseResponseFromBins(bins, nan, 48000), AudioError);
    EXPECT_THROW(ImpulseResponseFromBins({}, 10.0, 48000), AudioError);
    EXPECT_THROW(ImpulseResponseFromBins(std::vector<double>{1.0, nan}, 10.0, 48000), AudioError);
    EXPECT_THROW(ImpulseResponseFromBins(std::vector<double>{1e300}, 10.0, 48000), AudioError);
    // Ten thousand bins of 100 ms at 384 kHz: far beyond the longest response kept in memory.
    EXPECT_THROW(ImpulseResponseFromBins(std::vector<double>(10000, 0.0), 100.0, 384000),
                 AudioError);
}

TEST(ImpulseResponse, FineResponseIsCutAfterItsLastEchoAndMovedToAnotherRateSampleBySample) {
    const std::vector<double> fine = {0.0, 1.0, 0.0, 0.5, 0.0, 0.0};
    EXPECT_EQ(ImpulseResponseFromSamples(fine), (std::vector<float>{0.0f, 1.0f, 0.0f, 0.5f}));
    EXPECT_EQ(ImpulseResponseFromSamples(std::vector<double>(3, 0.0)).size(), 1u);
    EXPECT_THROW(ImpulseResponseFromSamples(std::vector<double>{std::nan("")}), AudioError);

    // 48 kHz to 44.1 kHz: sample n goes to round(n·44100/48000); echoes that meet add up.
    std::vector<float> at48(4801, 0.0f);
    at48[4800] = 1.0f; // 0.1 s
    at48[6] = 0.25f;   // 5.51 and 6.43: both round to sample 6
    at48[7] = 0.5f;
    const std::vector<float> at44 = PlaceAtRate(at48, 48000, 44100);
    ASSERT_EQ(at44.size(), 4411u);
    EXPECT_EQ(at44[4410], 1.0f);
    EXPECT_EQ(at44[6], 0.75f);
    EXPECT_THROW(PlaceAtRate(at48, 48000, 1000), AudioError);

    // The source chooses: the fine response when there is one, else the bins.
    EffectResponseSource source{{1.0, 0.5}, 10.0, {}, 0};
    EXPECT_EQ(ImpulseResponseAtRate(source, 8000).size(), 81u);
    source.fine = {0.0, 0.0, 0.75};
    source.fineRate = 8000;
    EXPECT_EQ(ImpulseResponseAtRate(source, 16000),
              (std::vector<float>{0.0f, 0.0f, 0.0f, 0.0f, 0.75f}));
}

} // namespace sonivera
