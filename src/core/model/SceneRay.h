#pragma once

namespace sonivera {

// A ray given by its origin (x0, y0) in metres and its direction (dx, dy), which need not be
// of unit length. Passed by value.
struct SceneRay {
    double x0;
    double y0;
    double dx;
    double dy;
};

} // namespace sonivera
