#include "core/plot/EffectPlot.h"
#include "core/plot/PlotTicks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace sonivera {

namespace {

// Records what a plot draws, enough to check the geometry.
struct RecordingPort : PlotPort {
    struct Rect {
        double x, y, w, h;
    };
    std::vector<Rect> rects;
    std::vector<std::string> texts;
    std::vector<std::vector<PlotPoint>> polylines;
    void FillRect(double x, double y, double w, double h, PlotColour) override {
        rects.push_back({x, y, w, h});
    }
    void Line(double, double, double, double, PlotColour, double) override {}
    void Polyline(std::span<const PlotPoint> points, PlotColour, double) override {
        polylines.emplace_back(points.begin(), points.end());
    }
    void Text(double, double, const std::string& text, TextAnchorX, TextAnchorY,
              PlotColour) override {
        texts.push_back(text);
    }
    bool HasText(const std::string& text) const {
        return std::find(texts.begin(), texts.end(), text) != texts.end();
    }
};

} // namespace

TEST(PlotTicks, StepsOfOneTwoOrFiveTimesAPowerOfTen) {
    AxisTicks t = NiceTicks(0.0, 1000.0, 10);
    EXPECT_EQ(t.step, 100.0);
    ASSERT_EQ(t.values.size(), 11u);
    EXPECT_EQ(t.values.back(), 1000.0);
    t = NiceTicks(-60.0, 0.0, 7);
    EXPECT_EQ(t.step, 10.0);
    EXPECT_EQ(t.values.front(), -60.0);
    EXPECT_EQ(t.values.back(), 0.0);
    t = NiceTicks(0.0, 0.37, 5);
    EXPECT_DOUBLE_EQ(t.step, 0.1);
    EXPECT_EQ(t.values.size(), 4u);
    EXPECT_EQ(TickLabel(t.values[3], t.step), "0.3");
    t = NiceTicks(0.0, 3340.0, 4);
    EXPECT_EQ(t.step, 1000.0);
    EXPECT_EQ(TickLabel(-1e-17, 0.1), "0.0");
    EXPECT_TRUE(NiceTicks(1.0, 1.0, 5).values.empty());
    EXPECT_TRUE(NiceTicks(0.0, 1.0 / 0.0, 5).values.empty());
}

TEST(EffectPlot, ScalesMapTimeAndValueOntoTheDataArea) {
    const std::vector<double> bins = {0.0, 0.8, 0.3, 0.1};
    EffectPlotInput input;
    input.bins = bins;
    input.groupTime = 10.0;
    const PlotFrame frame = LayoutEffectPlot(input, 800.0, 400.0);
    EXPECT_TRUE(frame.showFigures);
    EXPECT_EQ(frame.xMax, 40.0);
    EXPECT_EQ(frame.yMin, 0.0);
    EXPECT_DOUBLE_EQ(frame.yMax, 0.8); // the peak is a tick
    EXPECT_EQ(frame.XToPixel(0.0), frame.left);
    EXPECT_EQ(frame.XToPixel(40.0), frame.right);
    EXPECT_EQ(frame.YToPixel(0.0), frame.bottom);
    EXPECT_DOUBLE_EQ(frame.YToPixel(0.8), frame.top);
    // The bin under a pixel, inside the data area only.
    const double y = (frame.top + frame.bottom) / 2.0;
    EXPECT_EQ(BinAtPixel(frame, input, frame.XToPixel(25.0), y), std::optional<std::size_t>(2));
    EXPECT_FALSE(BinAtPixel(frame, input, frame.left - 1.0, y));
    EXPECT_FALSE(BinAtPixel(frame, input, frame.right, y));

    input.db = true;
    const PlotFrame db = LayoutEffectPlot(input, 300.0, 200.0);
    EXPECT_FALSE(db.showFigures);
    // Narrow but tall: the figures go under the plot.
    const PlotFrame tall = LayoutEffectPlot(input, 300.0, 700.0);
    EXPECT_TRUE(tall.showFigures && tall.figuresBelow);
    EXPECT_GT(tall.figuresY, tall.bottom);
    EXPECT_LE(tall.figuresY + 6 * 17.0, 700.0);
    EXPECT_EQ(db.yMin, kPlotFloorDb);
    EXPECT_EQ(db.yMax, 0.0);
}

TEST(EffectPlot, DrawsABarPerBinTheDecayCurveFiguresAndTheReadout) {
    const std::vector<double> bins = {0.0, 1.0, 0.5, 0.25};
    EffectPlotInput input;
    input.bins = bins;
    input.groupTime = 10.0;
    input.db = true;
    input.highlight = 2;
    RecordingPort port;
    const PlotFrame frame = DrawEffectPlot(port, input, 800.0, 400.0);
    // The background and three bars (bin 0 has no energy and no bar).
    ASSERT_EQ(port.rects.size(), 4u);
    EXPECT_DOUBLE_EQ(port.rects[1].y, frame.top); // the peak reaches 0 dB
    EXPECT_DOUBLE_EQ(port.rects[1].x, frame.XToPixel(10.0));
    ASSERT_EQ(port.polylines.size(), 1u);
    EXPECT_DOUBLE_EQ(port.polylines[0].front().y, frame.top);
    EXPECT_DOUBLE_EQ(port.polylines[0].back().y, frame.bottom);
    EXPECT_TRUE(port.HasText("T30: н/д"));
    EXPECT_TRUE(port.HasText("Бин 2: 20–30 мс, 0.5, -6.0 дБ"));

    RecordingPort empty;
    DrawEffectPlot(empty, EffectPlotInput{}, 400.0, 300.0);
    EXPECT_TRUE(empty.HasText("Эффект не рассчитан"));
}

TEST(EffectPlot, TimeAxisFitsTheContentAndMarkedFiguresAreGreyedWithTheirReason) {
    // Energy down to −40 dB in the first 100 ms of a 1000 ms effect: the axis ends a tenth later.
    std::vector<double> bins(100, 0.0);
    for (std::size_t i = 0; i < 10; ++i) {
        bins[i] = std::pow(10.0, -0.2 * static_cast<double>(i));
    }
    bins[90] = 1e-4; // −80 dB: below the plot's floor, so not content
    EXPECT_DOUBLE_EQ(ContentEndMs(bins, 10.0), 110.0);
    EffectPlotInput input;
    input.bins = bins;
    input.groupTime = 10.0;
    EXPECT_DOUBLE_EQ(LayoutEffectPlot(input, 800.0, 400.0).xMax, 110.0);
    input.wholeStopTime = true;
    EXPECT_DOUBLE_EQ(LayoutEffectPlot(input, 800.0, 400.0).xMax, 1000.0);

    // A lone impulse at 100 ms bins: C50 and D50 are marked; the reason is found under the line.
    std::vector<double> lone(10, 0.0);
    lone[1] = 1.0;
    const EffectFigures f = AnalyzeEffect(lone, 100.0);
    const auto lines = FigureLines(f, lone.size(), 100.0);
    const auto c50 = std::find_if(lines.begin(), lines.end(), [](const FigureLine& l) {
        return l.text.rfind("C50", 0) == 0;
    });
    ASSERT_NE(c50, lines.end());
    EXPECT_TRUE(c50->marked);
    EXPECT_EQ(c50->text, "C50: 0.0 дБ *");
    EXPECT_FALSE(c50->reason.empty());
    EXPECT_EQ(lines.back().text, "* основа недостаточна");
    EffectPlotInput loneInput;
    loneInput.bins = lone;
    loneInput.groupTime = 100.0;
    const PlotFrame frame = LayoutEffectPlot(loneInput, 800.0, 400.0);
    const auto index = static_cast<std::size_t>(c50 - lines.begin());
    EXPECT_EQ(FigureLineAtPixel(frame, lines.size(), frame.figuresX + 5.0,
                                frame.figuresY + 17.0 * static_cast<double>(index) + 3.0),
              std::optional<std::size_t>(index));
    EXPECT_FALSE(FigureLineAtPixel(frame, lines.size(), frame.figuresX - 5.0, frame.figuresY));
}

TEST(EffectPlot, ReferencesAreLabelledAndGiveWayAtTheSmallestSize) {
    const std::vector<double> bins = {0.0, 1.0, 0.5, 0.25};
    EffectPlotInput input;
    input.bins = bins;
    input.groupTime = 10.0;
    input.db = true;
    RecordingPort wide;
    DrawEffectPlot(wide, input, 900.0, 500.0);
    EXPECT_TRUE(wide.HasText("Бины, дБ отн. пика"));
    EXPECT_TRUE(wide.HasText("— спад, дБ отн. всей энергии"));
    RecordingPort small;
    DrawEffectPlot(small, input, 200.0, 150.0);
    EXPECT_TRUE(small.HasText("дБ отн. пика"));
    EXPECT_FALSE(small.HasText("— спад") || small.HasText("— спад, дБ отн. всей энергии"));
    // Bin values: the decay curve gets its own dB axis on the right.
    input.db = false;
    RecordingPort linear;
    DrawEffectPlot(linear, input, 900.0, 500.0);
    EXPECT_TRUE(linear.HasText("Спад, дБ"));
    EXPECT_TRUE(linear.HasText("-60"));
    RecordingPort smallLinear;
    DrawEffectPlot(smallLinear, input, 200.0, 150.0);
    EXPECT_TRUE(smallLinear.HasText("дБ"));
    EXPECT_FALSE(smallLinear.HasText("Спад, дБ"));
}

} // namespace sonivera
