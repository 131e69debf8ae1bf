#pragma once

#include <string>

namespace sonivera {

// Why a figure of the analysis cannot be believed as it stands. A marked figure still has its
// value (where one could be computed); the mark says what is wrong with its basis.
enum class MarkReason {
    None,
    FewPoints,          // fewer than kMinFitPoints bin edges inside the fit range
    NonLinear,          // the decay in the fit range is not straight: ξ above kMaxNonLinearity
    Truncated,          // the fit range ends less than kTruncationRoomDb above the cut-off or floor
    BoundaryUnresolved, // where the boundary lies within a bin could move the ratio by over a JND
    NothingBeyond,      // no energy after the boundary
};

struct FigureMark {
    MarkReason reason = MarkReason::None;
    // The numbers the reason names: FewPoints (points, minimum), NonLinear (ξ ‰, limit ‰),
    // Truncated (the range's lower end in dB, the cut-off level in dB), BoundaryUnresolved (the
    // lowest and highest value the split bin allows), NothingBeyond (the boundary in ms).
    double a = 0.0;
    double b = 0.0;

    explicit operator bool() const { return reason != MarkReason::None; }
};

// The mark as a sentence for the command line (English) and for the editor (Russian, UTF-8).
// Empty for an unmarked figure. `unit` is the unit of a and b for BoundaryUnresolved ("dB", "%").
std::string MarkText(const FigureMark& mark, const char* unit = "");
std::string MarkTextRu(const FigureMark& mark, const char* unit = "");

} // namespace sonivera
