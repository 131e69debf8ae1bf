#pragma once

#include <string>

namespace sonivera {

// The editor view's own user-visible texts, UTF-8.

// The delete question and its caption (Yes and No buttons, Yes the default, exclamation icon).
inline constexpr const char* kDeleteQuestionText = "Удалить выделенный объект?";
inline constexpr const char* kDeleteQuestionCaption = "Предупреждение";

// The scale for the status bar's third pane: "Масштаб 1:" and 30 / zoom with four significant
// digits, e.g. "Масштаб 1:1.034" at 29 pixels per metre.
std::string FormatScaleText(int pixelsPerMetre);

// The pointer position for the status bar's second pane, one decimal each: "x = 2.5, y = 1.5".
std::string FormatPointerText(double x, double y);

} // namespace sonivera
