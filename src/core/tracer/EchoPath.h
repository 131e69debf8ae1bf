#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace sonivera {

// One point of an echo's path, in metres.
struct PathPoint {
    double x = 0.0;
    double y = 0.0;
};

// The way one recorded echo travelled: from the listener through the points where its ray met
// rectangles to the source that the last point sees. The delay, amplitude and bin are the values
// the echo was added into the bins with (before any normalisation).
struct EchoPath {
    std::vector<PathPoint> points; // listener first, source last
    double delay = 0.0;            // seconds
    double amplitude = 0.0;
    std::int32_t bin = 0;
    std::int32_t source = 0;      // rank of the source among the scene's sources, in list order
    std::int32_t reflections = 0; // mirror reflections, the one at the last point included
    std::int32_t passages = 0;    // passages through rectangles
    std::int32_t ray = -1;        // the ray of the fan; −1 for the direct sound
    std::uint32_t order = 0;      // the echo's rank among the echoes its ray recorded
};

// Whether path a ranks before path b: the greater amplitude first, then the lower ray, then the
// earlier recorded. Ray and order make every echo's rank unique, so the strongest K are the same
// whichever thread traced which ray.
inline bool RanksBefore(double amplitudeA, std::int32_t rayA, std::uint32_t orderA,
                        double amplitudeB, std::int32_t rayB, std::uint32_t orderB) {
    if (amplitudeA != amplitudeB) {
        return amplitudeA > amplitudeB;
    }
    if (rayA != rayB) {
        return rayA < rayB;
    }
    return orderA < orderB;
}

inline bool RanksBefore(const EchoPath& a, const EchoPath& b) {
    return RanksBefore(a.amplitude, a.ray, a.order, b.amplitude, b.ray, b.order);
}

// The default number of paths kept per source.
constexpr std::size_t kDefaultPathsPerSource = 200;

// A request to keep echo paths during a calculation. `perSource` is read; `paths` receives the
// kept paths, by source in list order and the strongest first within a source.
struct EchoPathRequest {
    std::size_t perSource = kDefaultPathsPerSource;
    std::vector<EchoPath> paths;
};

} // namespace sonivera
