#pragma once

#include <cstdint>
#include <limits>

namespace sonivera {

// An upper bound on std::exp(−x) for x ≥ 0, without the call and at most 2.02 times it: the
// walk tests with it whether a passage's child would be too weak before it searches for the
// child (RayWalker::PassageChild), so it must be cheap and never below exp's result.
// e^(−x) = 2^(−τ) with τ = x·log2(e). The computed t = fl(x · fl(log2 e)) is within a factor
// (1 + 2^−53)² of τ, so below 1000 within 3·10^−13 of it, and t − 1/64 is within 2·10^−13 more.
// k, that truncated, is 0 or at most τ − 0.015, so 2^(−k) is 1 (≥ e^(−x), and exp's result of a
// number ≤ 0 is never above 1) or at least 1.01·e^(−x), above the exact value by far more than any
// exp's error (below one ulp, 2^−52 relative). 2^(−k) is made from its bits: k runs from 0 to
// 999, a normal double. From t = 1000 on (and for an infinite x) the bound stays at 2^−1000,
// still above e^(−x). A NaN or a negative x gives NaN, which no comparison takes for a bound.
inline double ExpBound(double x) {
    if (!(x >= 0.0)) {
        return std::numeric_limits<double>::quiet_NaN();
    }
    const double t = x * 1.4426950408889634;
    const std::int64_t k = t < 1000.0 ? static_cast<std::int64_t>(t - 0x1p-6) : 1000;
    return __builtin_bit_cast(double, static_cast<std::uint64_t>(1023 - k) << 52);
}

} // namespace sonivera
