#pragma once

#include <vector>

class wxBitmap;

namespace sonivera {

// The toolbar button pictures, 16×15 pixels each, drawn as rows of palette keys (one character
// per pixel, '.' transparent).

constexpr int kToolImageWidth = 16;
constexpr int kToolImageHeight = 15;

// The rows of a command's picture, top first; empty for a command without one.
const std::vector<const char*>& ToolbarPicture(int commandId);
// Whether the character is a key of the pictures' palette.
bool IsToolbarPaletteKey(char key);
// The picture as a bitmap with transparency.
wxBitmap ToolbarImage(int commandId);

} // namespace sonivera
