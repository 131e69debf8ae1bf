#include "view/ViewFixture.h"

#include "gui/app/CommandIds.h"

#include <wx/bitmap.h>
#include <wx/dcmemory.h>
#include <wx/image.h>

#include <map>
#include <tuple>

namespace sonivera {

namespace {

using Rgb = std::tuple<int, int, int>;

constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kGrey{160, 160, 160};
constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kRed{255, 0, 0};

} // namespace

// The view's picture as the paint handler draws it, on a bitmap erased to white, through the same
// drawing code and the same kind of DC (cairo on GTK 3).
class ViewPaintTest : public ViewTest {
protected:
    // The top-left 400 × 200 pixels of the client area.
    static wxImage Picture() {
        const wxRect area(0, 0, 400, 200);
        wxBitmap bitmap(area.width, area.height, 24);
        {
            wxMemoryDC dc(bitmap);
            dc.SetBackground(*wxWHITE_BRUSH);
            dc.Clear();
            View().PaintArea(dc, area);
        }
        return bitmap.ConvertToImage();
    }
    static Rgb At(const wxImage& image, int x, int y) {
        return {image.GetRed(x, y), image.GetGreen(x, y), image.GetBlue(x, y)};
    }
};

TEST_F(ViewPaintTest, PixelsHaveExactlyThePenColoursGridDottedBorderBlackSelectionRed) {
    // A 10 × 5 m scene at 30 pixels per metre: grid every 2 m (60 px), border at 300 × 150.
    Scene().width = 10.7;
    Scene().height = 5.2;
    Scene().FirstObject()->m_x = 2.0;
    Scene().FirstObject()->m_y = 2.0;
    Doc().UpdateAllViews();
    UseTool(ID_TOOL_SOURCE);
    Click(150, 90); // a source at (5, 3), selected (red)
    UseTool(ID_TOOL_RECT);
    Drag(200, 30, 260, 120); // a rectangle (7, 1)-(9, 4), selected
    Key(WXK_TAB);            // the listener, selected; the rectangle black again
    const wxImage image = Picture();

    // No blending anywhere: every pixel is white or one of the pens' colours.
    std::map<Rgb, int> counts;
    for (int y = 0; y < image.GetHeight(); ++y) {
        for (int x = 0; x < image.GetWidth(); ++x) {
            ++counts[At(image, x, y)];
        }
    }
    for (const auto& [colour, count] : counts) {
        EXPECT_TRUE(colour == kWhite || colour == kGrey || colour == kBlack || colour == kRed)
            << std::get<0>(colour) << "," << std::get<1>(colour) << "," << std::get<2>(colour)
            << " x" << count;
    }

    // The vertical grid line at 60 px is dotted grey: grey and white alternate along it.
    int grey = 0;
    int white = 0;
    for (int y = 5; y < 45; ++y) {
        grey += At(image, 60, y) == kGrey;
        white += At(image, 60, y) == kWhite;
    }
    EXPECT_GT(grey, 10);
    EXPECT_GT(white, 10);
    EXPECT_EQ(grey + white, 40);
    // The border is solid black at 300 × 150, and nothing is drawn beyond it.
    for (int y = 1; y < 150; ++y) {
        EXPECT_EQ(At(image, 300, y), kBlack) << y;
    }
    for (int x = 1; x < 300; ++x) {
        EXPECT_EQ(At(image, x, 150), kBlack) << x;
    }
    for (int x = 302; x < 400; x += 7) {
        EXPECT_EQ(At(image, x, 100), kWhite);
    }
    // The listener (selected) has a red outline and a white inside; the source and the rectangle
    // are black.
    EXPECT_EQ(At(image, 60, 60), kWhite);
    EXPECT_EQ(At(image, 50, 60), kRed);
    EXPECT_EQ(At(image, 143, 90), kBlack); // the source's square, left side
    EXPECT_EQ(At(image, 230, 30), kBlack); // the rectangle's top side
}

} // namespace sonivera
