#include "core/analysis/EffectFigures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace sonivera {

namespace {

// Bins whose energies fall by `dbPerBin` each bin from `first` on: a pure exponential decay.
std::vector<double> ExponentialDecay(std::size_t first, std::size_t count, double dbPerBin) {
    std::vector<double> bins(first + count, 0.0);
    for (std::size_t k = 0; k < count; ++k) {
        bins[first + k] = std::sqrt(std::pow(10.0, -dbPerBin * static_cast<double>(k) / 10.0));
    }
    return bins;
}

} // namespace

TEST(EffectFigures, PureExponentialDecayGivesItsReverberationTimeAndHandComputedRatios) {
    // 0.6 dB per 10 ms bin is 60 dB per second: every reverberation time is 1 s. 400 bins fall by
    // 240 dB, so the cut-off tail is far below what the fits see.
    const double g = 10.0;
    const auto bins = ExponentialDecay(3, 400, 0.6);
    const EffectFigures f = AnalyzeEffect(bins, g);
    ASSERT_TRUE(f.firstBin);
    EXPECT_EQ(*f.firstBin, 3u);
    EXPECT_EQ(f.firstArrivalMs, 30.0);
    EXPECT_EQ(*f.peakBin, 3u);
    EXPECT_EQ(f.peakValue, 1.0);
    ASSERT_TRUE(f.edtSeconds && f.t20Seconds && f.t30Seconds);
    EXPECT_NEAR(*f.edtSeconds, 1.0, 1e-9);
    EXPECT_NEAR(*f.t20Seconds, 1.0, 1e-9);
    EXPECT_NEAR(*f.t30Seconds, 1.0, 1e-9);
    // Energies q^k with q = 10^-0.06: 50 ms is 5 whole bins, 80 ms is 8.
    //   C50 = 10·log10((1 − q^5) / q^5) = 10·log10(10^0.3 − 1), D50 = 1 − 10^-0.3,
    //   C80 = 10·log10(10^0.48 − 1), centre time = g·(q / (1 − q) + 1/2).
    const double q = std::pow(10.0, -0.06);
    EXPECT_NEAR(*f.c50Db, 10.0 * std::log10(std::pow(10.0, 0.3) - 1.0), 1e-9);
    EXPECT_NEAR(*f.c80Db, 10.0 * std::log10(std::pow(10.0, 0.48) - 1.0), 1e-9);
    EXPECT_NEAR(*f.d50, 1.0 - std::pow(10.0, -0.3), 1e-12);
    EXPECT_NEAR(*f.centreTimeMs, g * (q / (1.0 - q) + 0.5), 1e-9);

    // The decay curve is the straight line −0.6 dB per bin, ending at −infinity after the last.
    const DecayCurve curve = BackwardIntegral(bins);
    EXPECT_EQ(curve.firstBin, 3u);
    ASSERT_EQ(curve.levels.size(), 401u);
    EXPECT_EQ(curve.levels[0], 0.0);
    EXPECT_NEAR(curve.levels[100], -60.0, 1e-9);
    EXPECT_TRUE(std::isinf(curve.levels[400]) && curve.levels[400] < 0.0);
}

TEST(EffectFigures, SingleImpulseHasNoDecayAndNoLateEnergy) {
    std::vector<double> bins(100, 0.0);
    bins[7] = -0.5; // the energy is the square: the sign does not matter
    const EffectFigures f = AnalyzeEffect(bins, 10.0);
    EXPECT_EQ(*f.firstBin, 7u);
    EXPECT_EQ(*f.peakBin, 7u);
    EXPECT_EQ(f.firstArrivalMs, 70.0);
    EXPECT_EQ(f.peakValue, -0.5);
    EXPECT_FALSE(f.edtSeconds);
    EXPECT_FALSE(f.t20Seconds);
    EXPECT_FALSE(f.t30Seconds);
    EXPECT_FALSE(f.c50Db); // nothing after 50 ms: the ratio has no value
    EXPECT_FALSE(f.c80Db);
    EXPECT_EQ(*f.d50, 1.0);
    EXPECT_EQ(*f.centreTimeMs, 5.0); // the middle of the direct sound's bin

    const auto db = EchogramDb(bins);
    EXPECT_EQ(db[7], 0.0);
    EXPECT_TRUE(std::isinf(db[8]));
}

TEST(EffectFigures, EmptyEffectHasNoFigures) {
    for (const std::vector<double>& bins : {std::vector<double>{}, std::vector<double>(50, 0.0)}) {
        const EffectFigures f = AnalyzeEffect(bins, 10.0);
        EXPECT_FALSE(f.firstBin);
        EXPECT_FALSE(f.peakBin);
        EXPECT_FALSE(f.edtSeconds || f.t20Seconds || f.t30Seconds);
        EXPECT_FALSE(f.c50Db || f.c80Db || f.d50 || f.centreTimeMs);
        EXPECT_TRUE(BackwardIntegral(bins).levels.empty());
        for (const double level : EchogramDb(bins)) {
            EXPECT_TRUE(std::isinf(level));
        }
    }
}

TEST(EffectFigures, DecayThatNeverReachesMinus35DbHasNoT30) {
    // 1000 bins of equal energy: the curve 10·log10((1000 − k) / 1000) ends at −30 dB.
    const std::vector<double> bins(1000, 1.0);
    const EffectFigures f = AnalyzeEffect(bins, 1.0);
    EXPECT_TRUE(f.edtSeconds);
    EXPECT_TRUE(f.t20Seconds);
    EXPECT_FALSE(f.t30Seconds);
}

TEST(EffectFigures, BoundaryInsideABinSplitsItsEnergyInProportion) {
    // 20 ms bins: 50 ms falls in the middle of the third bin after the direct sound.
    std::vector<double> energies = {0.0, 1.0, 0.0, 1.0, 0.0};
    EnergySplit split = SplitEnergy(energies, 1, 20.0, 50.0);
    EXPECT_EQ(split.early, 1.5);
    EXPECT_EQ(split.late, 0.5);
    const EffectFigures f = AnalyzeEffect(std::vector<double>{0.0, 1.0, 0.0, 1.0, 0.0}, 20.0);
    EXPECT_NEAR(*f.c50Db, 10.0 * std::log10(3.0), 1e-12);
    EXPECT_EQ(*f.d50, 0.75);
    // 3 ms bins: 50 ms is two thirds into bin 16; a boundary on a bin edge splits nothing.
    energies.assign(20, 0.0);
    energies[16] = 3.0;
    split = SplitEnergy(energies, 0, 3.0, 50.0);
    EXPECT_NEAR(split.early, 2.0, 1e-12);
    EXPECT_NEAR(split.late, 1.0, 1e-12);
    split = SplitEnergy(energies, 0, 3.0, 48.0);
    EXPECT_EQ(split.early, 0.0);
    EXPECT_EQ(split.late, 3.0);
}

} // namespace sonivera
