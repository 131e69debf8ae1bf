#pragma once

namespace sonivera {

// Snaps one coordinate v to the grid of step g: the grid line at or below v, or the next one when
// v lies more than half a step above it. Exactly half a step goes down.
double SnapToGrid(double v, double g);

} // namespace sonivera
