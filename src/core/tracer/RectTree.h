#pragma once

#include "core/tracer/IndexSupport.h"
#include "core/tracer/TraceScene.h"

#include <cstdint>
#include <vector>

namespace sonivera {

struct SearchHit;

// A bounding-box tree over the rectangles, for scenes with many of them. It only decides which
// rectangles need not be tested: every rectangle that is tested gets the exact intersection of
// IntersectRect, and the winner is the smallest parameter with ties to the lower index, exactly
// as a walk over the whole list gives it.
//
// The culling is conservative by a wide margin: every box is grown by 1e-9 of the scene's largest
// coordinate, far more than the rounding error of a computed hit point or of the box test (about
// 1e-15 relative), so a rectangle whose computed parameter could win is never skipped. Rays the
// error bound does not cover (an origin far outside the scene, a direction that is not about unit
// length, not finite, or with a component below 1e-200) are not accepted and go to the plain walk.
class RectTree : private index_support::IndexBase {
public:
    // Builds the tree; it stays empty when a coordinate is not finite or too large for the margin.
    void Build(const TraceScene& scene);
    bool Empty() const { return m_nodes.empty(); }
    bool Accepts(const SceneRay& ray) const;
    // The memory the tree holds.
    std::size_t Bytes() const {
        return m_nodes.size() * sizeof(Node) + m_order.size() * sizeof(std::int32_t);
    }

    // The nearest rectangle, leaving out `skip`. With `pointDist` ≥ 0 it stops and returns false as
    // soon as a rectangle nearer than pointDist by 0.001 or more is met (a visibility test).
    bool Search(const TraceScene& scene, const SceneRay& ray, int skip, bool visibility,
                double pointDist, SearchHit& hit) const;

    static constexpr std::size_t kLeafSize = 2;

private:
    struct Node {
        double x0, y0, x1, y1; // the grown box
        std::int32_t first;    // leaf: first entry in m_order; inner: index of the left child
        std::int32_t count;    // leaf: number of rectangles; inner: 0
    };

    static constexpr int kCostDepth = 48;
    static constexpr int kStackSize = 128; // > kCostDepth + 32 + 1
    void BuildNode(const TraceScene& scene, std::int32_t index, std::int32_t begin,
                   std::int32_t end, int depth);
    std::int32_t SplitByPerimeter(const TraceScene& scene, std::int32_t begin, std::int32_t end);
    static bool Slab(const Node& n, const SceneRay& r, double invDx, double invDy, double& tEnter);

    std::vector<Node> m_nodes;
    std::vector<std::int32_t> m_order;
    double m_margin = 0.0;
};

} // namespace sonivera
