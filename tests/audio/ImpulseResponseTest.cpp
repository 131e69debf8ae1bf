// The effect's bins placed as samples of an impulse response.
#include "audio/AudioError.h"
#include "audio/ImpulseResponse.h"

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

} // namespace sonivera
