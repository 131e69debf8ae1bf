#include "gui/app/AppIcon.h"

#include <wx/iconbndl.h>
#include <wx/image.h>

#include <algorithm>
#include <cmath>

namespace sonivera {

namespace {

constexpr std::uint32_t kBlack = 0xFF000000;
constexpr std::uint32_t kWhite = 0xFFFFFFFF;
constexpr std::uint32_t kGrey = 0xFFA0A0A0;
constexpr std::uint32_t kDarkBlue = 0xFF000080;

} // namespace

std::vector<std::uint32_t> RenderAppIcon(int size) {
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(size) * size, kWhite);
    auto put = [&](int x, int y, std::uint32_t colour) {
        if (x >= 0 && y >= 0 && x < size && y < size) {
            pixels[static_cast<std::size_t>(y) * size + x] = colour;
        }
    };
    const int frame = size >= 32 ? 2 : 1;
    const int inner0 = frame;
    const int inner1 = size - frame - 1;

    // The grid: four cells each way inside the frame.
    const int cells = 4;
    for (int i = 1; i < cells; ++i) {
        const int at = inner0 + (inner1 - inner0 + 1) * i / cells;
        for (int t = inner0; t <= inner1; ++t) {
            put(at, t, kGrey);
            put(t, at, kGrey);
        }
    }

    // The bell: a Gaussian over the lower part, joined column to column.
    const double centre = (size - 1) / 2.0;
    const double spread = size / 6.5;
    const double base = inner1 - (size >= 32 ? 3 : 1);
    const double peak = inner0 + (size >= 32 ? 4 : 2);
    const int thickness = size >= 32 ? 2 : 1;
    int previous = -1;
    for (int x = inner0; x <= inner1; ++x) {
        const double d = (x - centre) / spread;
        const int y = static_cast<int>(std::lround(base - (base - peak) * std::exp(-d * d)));
        const int from = previous < 0 ? y : std::min(previous, y);
        const int to = previous < 0 ? y : std::max(previous, y);
        for (int t = from; t <= to; ++t) {
            for (int k = 0; k < thickness; ++k) {
                put(x, t + k, kDarkBlue);
            }
        }
        previous = y;
    }

    // The black square frame.
    for (int i = 0; i < size; ++i) {
        for (int k = 0; k < frame; ++k) {
            put(i, k, kBlack);
            put(i, size - 1 - k, kBlack);
            put(k, i, kBlack);
            put(size - 1 - k, i, kBlack);
        }
    }
    return pixels;
}

wxImage AppIconImage(int size) {
    const auto pixels = RenderAppIcon(size);
    wxImage image(size, size);
    image.InitAlpha();
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const std::uint32_t p = pixels[static_cast<std::size_t>(y) * size + x];
            image.SetRGB(x, y, (p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
            image.SetAlpha(x, y, (p >> 24) & 0xFF);
        }
    }
    return image;
}

wxIconBundle AppIconBundle() {
    wxIconBundle bundle;
    for (int size : {16, 32}) {
        wxIcon icon;
        icon.CopyFromBitmap(wxBitmap(AppIconImage(size)));
        bundle.AddIcon(icon);
    }
    return bundle;
}

} // namespace sonivera
