#pragma once

namespace sonivera {

// The scene's extent and grid, in the scene file's order: its width and height, the grid steps
// along x and y (metres) and whether objects snap to the grid. The scene record and an undo record
// hold them as doubles; the size dialog exchanges them as whole metres.
template <class Number> struct BasicSceneLayout {
    Number width{};
    Number height{};
    Number gridX{};
    Number gridY{};
    bool snapToGrid = false;

    friend bool operator==(const BasicSceneLayout&, const BasicSceneLayout&) = default;
};

using SceneLayout = BasicSceneLayout<double>;

} // namespace sonivera
