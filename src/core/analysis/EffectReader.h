#pragma once

#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace sonivera {

// The contents of an effect file (.e3d): the bins and the stop time stored with them. The file
// does not hold the grouping width; whoever reads one must be told it.
struct EffectFileData {
    std::vector<double> bins;
    double stopTime = 0.0; // ms
};

// The bytes are not an effect file, or not one this program could have written. The message
// says what is wrong in one sentence.
class EffectFormatError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Reads the bytes of an effect file: the tag "EFFECT", a bin count n ≥ 0, a stop time, n bins,
// and nothing after them. Refuses (EffectFormatError) a wrong tag, a negative count, a length
// other than 19 + 8·n, a stop time that is not a finite number of at least 0 ms, and a bin that
// is not finite (NaN or infinity). The count is checked against the bytes present before
// anything is allocated.
EffectFileData ReadEffectBytes(std::span<const std::uint8_t> bytes);

} // namespace sonivera
