#include "core/analysis/EffectReader.h"
#include "core/tracer/EffectFile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace sonivera {

TEST(EffectReader, ReadsBackWhatTheWriterWrote) {
    const std::vector<double> bins = {0.0, 1.0, -0.25, 5e-324};
    const auto data = ReadEffectBytes(EffectToBytes(bins, 1000.0));
    EXPECT_EQ(data.bins, bins);
    EXPECT_EQ(data.stopTime, 1000.0);
    EXPECT_TRUE(ReadEffectBytes(EffectToBytes({}, 10.0)).bins.empty());
}

TEST(EffectReader, RefusesWhatTheProgramCouldNotHaveWritten) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const auto good = EffectToBytes(std::vector<double>{1.0, 2.0}, 20.0);
    auto wrongTag = good;
    wrongTag[1] = 'e';
    auto longer = good;
    longer.push_back(0);
    const std::vector<std::uint8_t> shorter(good.begin(), good.end() - 1);
    auto negative = good;
    negative[10] = 0x80; // the count's top byte
    const std::vector<std::vector<std::uint8_t>> bad = {
        {},
        std::vector<std::uint8_t>(good.begin(), good.begin() + 18),
        wrongTag,
        longer,
        shorter,
        negative,
        EffectToBytes(std::vector<double>{1.0, nan}, 20.0),
        EffectToBytes(std::vector<double>{std::numeric_limits<double>::infinity()}, 20.0),
        EffectToBytes(std::vector<double>{1.0}, nan),
        EffectToBytes(std::vector<double>{1.0}, -1.0),
    };
    for (std::size_t i = 0; i < bad.size(); ++i) {
        EXPECT_THROW(ReadEffectBytes(bad[i]), EffectFormatError) << i;
    }
}

} // namespace sonivera
