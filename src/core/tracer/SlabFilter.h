#pragma once

#include "core/model/SceneRay.h"

#include <cmath>

namespace sonivera {

// Decides from products alone, without IntersectRect's divisions, that a rectangle cannot be the
// nearest one a ray meets: it is certainly missed, or certainly met farther than the nearest
// parameter taken so far. Searches test only the other rectangles exactly, so their results are
// unchanged. The walk over the lanes does the same four lanes at a time (SearchFilteredAvx2).
//
// Why a rectangle left out cannot change a search's result. Let u = 2^-53, ax = |dx|, ay = |dy|
// (both in [2^-256, 2]), every side and the origin finite and within ±2^200, D = |x0| + |y0| + M
// with M the largest side coordinate's magnitude. Scaled by ax·ay, the ray's parameter where it
// meets the line x = c is (c − x0)·sx with sx = ±ay (the sign of dx), and y = c at (c − y0)·sy.
//  - If IntersectRect reports rectangle k at t̂, one edge's crossing ĥ lies within the edge and
//    t̂ = fl(|fl(o − edge)| / |d|): the real ray's point at t̂ is within 2.01u·|o − edge| of the
//    edge's line and within 2.01u·(|o'| + t̂·|d'|) of ĥ along it, so within δ = 5u·D of the
//    rectangle on each axis (|o − edge| ≤ D, |o'| + t̂|d'| ≤ 2D + tiny). So t̂·ax·ay lies in the
//    x slab [near_x − δ·ay, far_x + δ·ay] and the y slab [near_y − δ·ax, far_y + δ·ax] of the
//    real values, and max(near) − min(far) ≤ 2δ·(ax + ay), min(far) ≥ −δ·(ax + ay).
//  - Each (c − o)·s is computed with an error of at most 2u·(M + |o|)·|s| ≤ 2u·D·|s|.
//  - With slack = margin·D·(ax + ay) + 2^-900, margin = 32u (products below the normal range
//    err by 2^-1074 at most), a reported rectangle therefore passes near ≤ far + 2·slack and
//    far ≥ −slack (it needs 14u and 7u, plus u for the rounded sums), and
//    t̂·ax·ay ≥ near − 7u·D·(ax + ay) ≥ near − slack =: LB.
//  - With t_b the nearest parameter taken so far, LB > fl(fl(fl(t_b·ax)·ay)·(1 + margin)) +
//    2^-900 gives t̂·ax·ay > t_b·ax·ay, so t̂ > t_b: the rectangle neither wins nor ties, and it
//    cannot hide a point the nearest one does not hide (t̂ − pointDist ≥ t_b − pointDist, rounding
//    being monotonic).
// A rectangle with a NaN side fails every comparison and is left out; only padding lanes have
// them (a scene with a side that is not finite is outside the bound, and the filter is off).
struct SlabFilter {
    // The margin: 32u, about four times what the argument above needs.
    static constexpr double kMargin = 0x1p-48;
    static constexpr double kTiny = 0x1p-900;
    static constexpr double kBound = 0x1p200;

    double x0, y0, sx, sy, ax, ay, slack, margin;
    bool on; // false: the argument does not cover the ray; every rectangle gets the exact test

    // `bound`: the largest magnitude of a side coordinate among the rectangles searched.
    SlabFilter(const SceneRay& r, double bound, double relative = kMargin)
        : x0(r.x0), y0(r.y0), sx(0.0), sy(0.0), ax(std::fabs(r.dx)), ay(std::fabs(r.dy)),
          slack(0.0), margin(relative) {
        on = ax >= 0x1p-256 && ax <= 2.0 && ay >= 0x1p-256 && ay <= 2.0 &&
             std::fabs(r.x0) <= kBound && std::fabs(r.y0) <= kBound && bound <= kBound;
        sx = r.dx > 0.0 ? ay : -ay;
        sy = r.dy > 0.0 ? ax : -ax;
        const double d = (std::fabs(r.x0) + std::fabs(r.y0)) + bound;
        slack = (d * (ax + ay)) * margin + kTiny;
    }

    // Whether the rectangle may be crossed; then `lb` is its bound LB.
    bool Keeps(double left, double top, double right, double bottom, double& lb) const {
        const double tx1 = (left - x0) * sx;
        const double tx2 = (right - x0) * sx;
        const double ty1 = (top - y0) * sy;
        const double ty2 = (bottom - y0) * sy;
        const double nearX = tx1 < tx2 ? tx1 : tx2;
        const double farX = tx1 < tx2 ? tx2 : tx1;
        const double nearY = ty1 < ty2 ? ty1 : ty2;
        const double farY = ty1 < ty2 ? ty2 : ty1;
        const double nearAll = nearX > nearY ? nearX : nearY;
        const double farAll = farX < farY ? farX : farY;
        lb = nearAll - slack;
        return nearAll <= farAll + 2.0 * slack && farAll >= -slack;
    }

    // Whether a rectangle with bound `lb` is certainly met farther than parameter `best`.
    bool Farther(double lb, double best) const {
        return lb > ((best * ax) * ay) * (1.0 + margin) + kTiny;
    }
};

} // namespace sonivera
