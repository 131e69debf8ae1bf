#include "core/analysis/EffectFigures.h"
#include "core/analysis/SpeechTransmission.h"
#include "core/analysis/DecayFit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace sonivera {

namespace {

// Bins of an exponential decay with reverberation time `t60` seconds at grouping width `g` ms:
// energies fall by 60 dB per t60 from bin `first` on, for `count` bins.
std::vector<double> ExponentialDecay(std::size_t first, std::size_t count, double g, double t60) {
    std::vector<double> bins(first + count, 0.0);
    const double dbPerBin = 60.0 * g / (t60 * 1000.0);
    for (std::size_t k = 0; k < count; ++k) {
        bins[first + k] = std::sqrt(std::pow(10.0, -dbPerBin * static_cast<double>(k) / 10.0));
    }
    return bins;
}

} // namespace

TEST(EffectFigures, ExponentialDecayGivesItsReverberationTimeUnmarkedAtEveryGroupingTime) {
    for (const double g : {1.0, 5.0, 10.0, 25.0}) {
        SCOPED_TRACE(g);
        const auto bins = ExponentialDecay(3, static_cast<std::size_t>(4000.0 / g), g, 1.0);
        const EffectFigures f = AnalyzeEffect(bins, g);
        ASSERT_TRUE(f.edt.seconds && f.t20.seconds && f.t30.seconds);
        EXPECT_NEAR(*f.edt.seconds, 1.0, 0.02);
        EXPECT_NEAR(*f.t20.seconds, 1.0, 0.01);
        EXPECT_NEAR(*f.t30.seconds, 1.0, 0.01);
        EXPECT_FALSE(f.edt.mark || f.t20.mark || f.t30.mark);
        EXPECT_LT(f.t30.nonLinearityPermille, 1.0);
        EXPECT_NEAR(*f.curvaturePercent, 0.0, 1.0);
        EXPECT_EQ(f.onsetBin, std::optional<std::size_t>(3));
        EXPECT_EQ(f.onsetMs, 3.0 * g);
    }
    // Hand-computed ratios at 10 ms: energies q^k, q = 10^-0.06; 50 ms is 5 whole bins, 80 ms 8.
    const double g = 10.0;
    const EffectFigures f = AnalyzeEffect(ExponentialDecay(3, 400, g, 1.0), g);
    const double q = std::pow(10.0, -0.06);
    EXPECT_NEAR(*f.c50Db.value, 10.0 * std::log10(std::pow(10.0, 0.3) - 1.0), 1e-9);
    EXPECT_NEAR(*f.c80Db.value, 10.0 * std::log10(std::pow(10.0, 0.48) - 1.0), 1e-9);
    EXPECT_NEAR(*f.d50.value, 1.0 - std::pow(10.0, -0.3), 1e-12);
    EXPECT_NEAR(*f.centreTimeMs.value, g * (q / (1.0 - q) + 0.5), 1e-9);
    EXPECT_FALSE(f.c50Db.mark || f.c80Db.mark || f.d50.mark);
}

TEST(EffectFigures, TooFewBinEdgesInTheFitRangeMarkTheFigure) {
    // T = 0.6 s: the EDT range 0..−10 dB ends near 100 ms. At 30 ms it holds the edges 0, 30, 60
    // and 90 (four: unmarked); at 40 ms only 0, 40 and 80 (three: marked).
    const EffectFigures fine = AnalyzeEffect(ExponentialDecay(0, 200, 30.0, 0.6), 30.0);
    EXPECT_EQ(fine.edt.points, 4u);
    EXPECT_FALSE(fine.edt.mark);
    const EffectFigures coarse = AnalyzeEffect(ExponentialDecay(0, 150, 40.0, 0.6), 40.0);
    EXPECT_EQ(coarse.edt.points, 3u);
    EXPECT_EQ(coarse.edt.mark.reason, MarkReason::FewPoints);
    // The continuous curve keeps even the coarse value close to the truth.
    EXPECT_NEAR(*coarse.edt.seconds, 0.6, 0.06);
}

TEST(EffectFigures, DecayCutByTheStopTimeOrSittingOnAFloorMarksTheRangesThatReachIt) {
    // 1 s decay cut after 500 ms (30 dB down): T30 (to −35 dB) and T20 (to −25, 10 dB of room
    // needs −35) reach into the cut; EDT does not.
    const EffectFigures cut = AnalyzeEffect(ExponentialDecay(0, 50, 10.0, 1.0), 10.0);
    EXPECT_EQ(cut.t30.mark.reason, MarkReason::Truncated);
    EXPECT_EQ(cut.t20.mark.reason, MarkReason::Truncated);
    EXPECT_FALSE(cut.edt.mark);
    // 0.5 s decay on a floor 40 dB below its start, for two seconds: T30 comes out far too long
    // and is marked.
    auto floor = ExponentialDecay(0, 200, 10.0, 0.5);
    for (double& b : floor) {
        b = std::sqrt(b * b + 1e-4);
    }
    const EffectFigures onFloor = AnalyzeEffect(floor, 10.0);
    ASSERT_TRUE(onFloor.t30.seconds);
    EXPECT_EQ(onFloor.t30.mark.reason, MarkReason::Truncated);
    EXPECT_LT(onFloor.t30.mark.b, 0.0);
}

TEST(EffectFigures, CurvedDecayIsMarkedByItsNonLinearity) {
    // A fast decay with a slow one 20 dB below: the −5..−35 dB range spans the knee.
    const double g = 5.0;
    const auto fast = ExponentialDecay(0, 1200, g, 0.3);
    const auto slow = ExponentialDecay(0, 1200, g, 2.0);
    std::vector<double> bins(fast.size());
    for (std::size_t i = 0; i < bins.size(); ++i) {
        bins[i] = std::sqrt(fast[i] * fast[i] + 0.01 * slow[i] * slow[i]);
    }
    const EffectFigures f = AnalyzeEffect(bins, g);
    ASSERT_TRUE(f.t30.seconds);
    EXPECT_GT(f.t30.nonLinearityPermille, kMaxNonLinearityPermille);
    EXPECT_EQ(f.t30.mark.reason, MarkReason::NonLinear);
    EXPECT_GT(*f.curvaturePercent, 10.0);
}

TEST(EffectFigures, WeakPrecursorDoesNotSetTimeZeroUnlessAskedTo) {
    // A −50 dB path arrives 100 ms before the direct sound, which decays at 0.5 s.
    const double g = 10.0;
    auto bins = ExponentialDecay(10, 300, g, 0.5);
    bins[0] = std::sqrt(1e-5);
    const EffectFigures level = AnalyzeEffect(bins, g);
    EXPECT_EQ(*level.firstBin, 0u);
    EXPECT_EQ(*level.onsetBin, 10u);
    EXPECT_EQ(level.onsetMs, 100.0);
    const EffectFigures first = AnalyzeEffect(bins, g, OnsetRule{true, 0.0});
    EXPECT_EQ(*first.onsetBin, 0u);
    // From the precursor, 50 ms holds only the precursor: C50 collapses.
    EXPECT_LT(*first.c50Db.value, -40.0);
    EXPECT_GT(*level.c50Db.value, 0.0);
    // A trigger of 60 dB reaches the precursor too; one below it does not.
    EXPECT_EQ(*OnsetBin(bins, OnsetRule{false, 60.0}), 0u);
    EXPECT_EQ(*OnsetBin(bins, OnsetRule{false, 49.0}), 10u);
}

TEST(EffectFigures, LoneImpulseHasNoDecayAndMarkedRatiosAtAnyGroupingTime) {
    // Below 50 ms the impulse's bin is all early: nothing after 50 ms.
    std::vector<double> bins(100, 0.0);
    bins[7] = -0.5; // the energy is the square: the sign does not matter
    EffectFigures f = AnalyzeEffect(bins, 10.0);
    EXPECT_EQ(*f.firstBin, 7u);
    EXPECT_EQ(*f.peakBin, 7u);
    EXPECT_EQ(f.peakValue, -0.5);
    EXPECT_FALSE(f.edt.seconds || f.t20.seconds || f.t30.seconds);
    EXPECT_FALSE(f.c50Db.value);
    EXPECT_EQ(f.c50Db.mark.reason, MarkReason::NothingBeyond);
    EXPECT_EQ(*f.d50.value, 1.0);
    EXPECT_EQ(f.d50.mark.reason, MarkReason::NothingBeyond);
    EXPECT_EQ(*f.centreTimeMs.value, 5.0); // the middle of the direct sound's bin
    // Above 50 ms the boundary splits the impulse's own bin: a value exists but means nothing.
    f = AnalyzeEffect(bins, 100.0);
    ASSERT_TRUE(f.c50Db.value && f.d50.value);
    EXPECT_EQ(*f.c50Db.value, 0.0);
    EXPECT_EQ(f.c50Db.mark.reason, MarkReason::BoundaryUnresolved);
    EXPECT_EQ(f.d50.mark.reason, MarkReason::BoundaryUnresolved);
    EXPECT_EQ(f.c80Db.mark.reason, MarkReason::BoundaryUnresolved);
    EXPECT_FALSE(MarkText(f.c50Db.mark, "dB").empty());
    EXPECT_FALSE(MarkTextRu(f.d50.mark, "%").empty());
}

TEST(EffectFigures, EmptyEffectHasNoFigures) {
    for (const std::vector<double>& bins : {std::vector<double>{}, std::vector<double>(50, 0.0)}) {
        const EffectFigures f = AnalyzeEffect(bins, 10.0);
        EXPECT_FALSE(f.firstBin || f.onsetBin || f.peakBin);
        EXPECT_FALSE(f.edt.seconds || f.t20.seconds || f.t30.seconds);
        EXPECT_FALSE(f.c50Db.value || f.c80Db.value || f.d50.value || f.centreTimeMs.value);
        EXPECT_TRUE(BackwardIntegral(bins).levels.empty());
        for (const double level : EchogramDb(bins)) {
            EXPECT_TRUE(std::isinf(level));
        }
    }
}

TEST(EffectFigures, DecayCurveIsLinearInEnergyAcrossEachBin) {
    const std::vector<double> energies = {1.0, 1.0};
    const ContinuousDecay curve(energies, 10.0);
    EXPECT_EQ(curve.LevelAt(0.0), 0.0);
    EXPECT_NEAR(curve.LevelAt(5.0), 10.0 * std::log10(0.75), 1e-12);
    EXPECT_NEAR(curve.LevelAt(10.0), 10.0 * std::log10(0.5), 1e-12);
    EXPECT_TRUE(std::isinf(curve.LevelAt(20.0)));
    EXPECT_NEAR(*curve.TimeAtLevel(10.0 * std::log10(0.25)), 15.0, 1e-12);
    // Equal energies for 1000 bins end at −30 dB before the last bin: no T30.
    const std::vector<double> flat(1000, 1.0);
    const EffectFigures f = AnalyzeEffect(flat, 1.0);
    EXPECT_TRUE(f.edt.seconds);
    EXPECT_FALSE(f.t30.seconds);
    const DecayCurve sampled = BackwardIntegral(flat);
    EXPECT_NEAR(sampled.levels[500], 10.0 * std::log10(0.5), 1e-12);
}

TEST(EffectFigures, BoundaryInsideABinSplitsItsEnergyInProportion) {
    // 20 ms bins: 50 ms falls in the middle of the third bin after the onset.
    std::vector<double> energies = {0.0, 1.0, 0.0, 1.0, 0.0};
    EnergySplit split = SplitEnergy(energies, 1, 20.0, 50.0);
    EXPECT_EQ(split.early, 1.5);
    EXPECT_EQ(split.late, 0.5);
    EXPECT_EQ(split.straddling, 1.0);
    const EffectFigures f = AnalyzeEffect(std::vector<double>{0.0, 1.0, 0.0, 1.0, 0.0}, 20.0);
    EXPECT_NEAR(*f.c50Db.value, 10.0 * std::log10(3.0), 1e-12);
    EXPECT_EQ(*f.d50.value, 0.75);
    EXPECT_EQ(f.c50Db.mark.reason, MarkReason::BoundaryUnresolved); // the split bin is half
    // A weak split bin moves the ratio by less than 1 dB: resolved.
    const EffectFigures weak = AnalyzeEffect(std::vector<double>{1.0, 0.0, 0.05, 0.5, 0.5}, 20.0);
    EXPECT_FALSE(weak.c50Db.mark);
    // 3 ms bins: 50 ms is two thirds into bin 16; a boundary on a bin edge splits nothing.
    energies.assign(20, 0.0);
    energies[16] = 3.0;
    split = SplitEnergy(energies, 0, 3.0, 50.0);
    EXPECT_NEAR(split.early, 2.0, 1e-12);
    EXPECT_NEAR(split.late, 1.0, 1e-12);
    split = SplitEnergy(energies, 0, 3.0, 48.0);
    EXPECT_EQ(split.early, 0.0);
    EXPECT_EQ(split.late, 3.0);
    EXPECT_EQ(split.straddling, 0.0);
}

TEST(SpeechTransmission, ExponentialDecayMatchesTheClosedFormAndALoneImpulseIsPerfect) {
    // A pure exponential decay of reverberation time T: m(F) = 1 / sqrt(1 + (2πF·T/13.8)²).
    for (const double t60 : {0.3, 1.0, 2.5}) {
        SCOPED_TRACE(t60);
        const double g = 0.5;
        const auto bins = ExponentialDecay(4, static_cast<std::size_t>(t60 * 8000.0 / g), g, t60);
        const auto sti = SpeechTransmissionOf(bins, 4, g);
        ASSERT_TRUE(sti);
        double sum = 0.0;
        for (std::size_t f = 0; f < sti->kModulationHz.size(); ++f) {
            const double wt = 2.0 * 3.141592653589793 * sti->kModulationHz[f] * t60 / 13.8155;
            const double m = 1.0 / std::sqrt(1.0 + wt * wt);
            EXPECT_NEAR(sti->mtf[f], m, 2e-3) << sti->kModulationHz[f] << " Hz";
            const double snr = std::clamp(10.0 * std::log10(m / (1.0 - m)), -15.0, 15.0);
            sum += (snr + 15.0) / 30.0;
        }
        EXPECT_NEAR(sti->index, sum / 14.0, 2e-3);
        EXPECT_EQ(AnalyzeEffect(bins, g).sti, sti->index);
    }
    // One impulse in a 1 ms bin: every m is within the bin's own spread, the index is 1.
    std::vector<double> lone(20, 0.0);
    lone[3] = 1.0;
    EXPECT_NEAR(SpeechTransmissionOf(lone, 3, 1.0)->index, 1.0, 1e-9);
    EXPECT_FALSE(SpeechTransmissionOf(std::vector<double>(5, 0.0), 0, 1.0));
}

} // namespace sonivera
