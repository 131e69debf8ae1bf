#pragma once

#include <cstdint>
#include <vector>

class wxIconBundle;
class wxImage;

namespace sonivera {

// Icon 128 of the program: a dark blue bell-shaped curve over a grey grid inside a black square
// frame, drawn in code at 32×32 and 16×16 pixels.

// The icon's pixels, row by row from the top, as 0xAARRGGBB.
std::vector<std::uint32_t> RenderAppIcon(int size);

wxImage AppIconImage(int size);
// Both sizes, for the main window.
wxIconBundle AppIconBundle();

} // namespace sonivera
