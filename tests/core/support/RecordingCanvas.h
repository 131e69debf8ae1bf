#pragma once

#include "core/model/Canvas.h"

#include <sstream>
#include <string>
#include <vector>

namespace sonivera {

// A canvas that records every call as a line of text, e.g. "pen solid 2 255", "move 1 2".
class RecordingCanvas : public Canvas {
public:
    void SelectSolidPen(int width, RgbColor color) override {
        Add("pen solid " + std::to_string(width) + " " + std::to_string(color));
    }
    void SelectDottedPen(int width, RgbColor color) override {
        Add("pen dotted " + std::to_string(width) + " " + std::to_string(color));
    }
    void SelectStockBlackPen() override { Add("pen black"); }
    void SelectWhiteBrush() override { Add("brush white"); }
    void MoveTo(int x, int y) override { Add("move " + Pair(x, y)); }
    void LineTo(int x, int y) override { Add("line " + Pair(x, y)); }
    void Ellipse(int l, int t, int r, int b) override {
        Add("ellipse " + Pair(l, t) + " " + Pair(r, b));
    }

    std::vector<std::string> calls;

private:
    static std::string Pair(int x, int y) { return std::to_string(x) + " " + std::to_string(y); }
    void Add(std::string s) { calls.push_back(std::move(s)); }
};

} // namespace sonivera
