#pragma once

#include "core/tracer/EchoPath.h"

#include <atomic>
#include <cstddef>
#include <exception>
#include <string>
#include <vector>

namespace sonivera {

// The kept echo paths as JSON: an object with "paths_per_source" and "paths", an array with one
// object per path in the order given (by source, the strongest first): "source" (rank among the
// scene's sources), "ray" (−1 for the direct sound), "bin", "delay_s", "amplitude", "level_db"
// (20·log10 of the amplitude), "reflections", "passages" and "points", an array of [x, y] pairs
// in metres from the listener to the source. Doubles are written in their shortest form that
// reads back exactly. Ends with a newline.
// `cancel`, when given, is looked at every few hundred paths: PathsJsonCancelled is thrown once it
// is set.
std::string EchoPathsToJsonText(const std::vector<EchoPath>& paths, std::size_t perSource,
                                const std::atomic<bool>* cancel = nullptr);

class PathsJsonCancelled : public std::exception {
public:
    const char* what() const noexcept override { return "cancelled"; }
};

} // namespace sonivera
